#include "atomic_file.h"

#include "output_file.h"

namespace vyst::ansi {

// The settings file is written as every output file of the program is, so the
// rules stated in the header are qh::OutputFile's.
bool ReplaceFileAtomically(const std::string& path, std::string_view content) {
    qh::OutputFile output;
    return output.Open(path) && output.Write(content.data(), content.size()) && output.Commit();
}

} // namespace vyst::ansi
