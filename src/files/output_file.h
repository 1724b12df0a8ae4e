// The output end of the file commands: a safe output that never replaces its
// own input and is never left half-written.
#ifndef QUILLHORN_OUTPUT_FILE_H
#define QUILLHORN_OUTPUT_FILE_H

#include <cstddef>
#include <string>

namespace qh {

// A file written to a temporary file beside the target and renamed over the
// target by Commit. Until then the target is untouched; without a Commit the
// temporary file is removed. A new file gets the usual permissions (0666 less
// the umask); an existing target's permissions are kept.
class OutputFile {
public:
    OutputFile() = default;
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    // False when the temporary file cannot be created (missing folder, no
    // permission, the target is a folder).
    bool Open(const std::string& path);
    // False on a write error; later writes and the Commit then fail too.
    bool Write(const void* data, std::size_t length);
    // Flushes the data and renames it over the target; false on failure.
    bool Commit();

private:
    void discard();

    int fd_ = -1;
    std::string target_;
    std::string temporary_;
    bool failed_ = false;
};

} // namespace qh

#endif
