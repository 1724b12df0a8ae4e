#include "base64.h"
#include "input_file.h"
#include "output_file.h"
#include "same_file.h"

#include <vector>

namespace qh {
namespace {

// Encoding reads a multiple of 3 bytes at a time, so every chunk but the last
// encodes without "=" and the output equals the encoding of the whole file.
constexpr std::size_t kEncodeChunk = 3 * 64 * 1024;
constexpr std::size_t kDecodeChunk = 64 * 1024;

// Opens both files in the usual order and runs `convert` on every chunk read;
// the output replaces its target only when every read and write succeeded.
template <typename Convert>
int ConvertFile(const std::string& inputPath, const std::string& outputPath, std::size_t chunk, Progress* progress,
                Convert convert) {
    if (SameFile(inputPath, outputPath))
        return kBase64SameFile;
    InputFile input(inputPath);
    // Only a regular file: a pipe may wait for a writer forever, a device such
    // as /dev/zero would fill the disk.
    if (!input.IsOpen() || !input.IsRegular())
        return kBase64CannotRead;
    OutputFile output;
    // An empty path names no file (the temporary file would otherwise be made
    // in the working folder and the command fail only at the end).
    if (outputPath.empty() || !output.Open(outputPath))
        return kBase64CannotWrite;

    if (progress)
        progress->SetTotal(input.Size());
    std::vector<char> buffer(chunk);
    std::string converted;
    for (;;) {
        const long long got = input.Read(buffer.data(), buffer.size());
        if (got < 0)
            return kBase64FileError;
        if (got == 0)
            break;
        converted.clear();
        convert(std::string_view(buffer.data(), static_cast<std::size_t>(got)), converted);
        if (!output.Write(converted.data(), converted.size()))
            return kBase64FileError;
        AddProgress(progress, static_cast<std::uint64_t>(got));
        if (IsCancelled(progress))
            return kBase64Cancelled;
    }
    return output.Commit() ? kBase64Ok : kBase64FileError;
}

} // namespace

int Base64EncodeFile(const std::string& inputPath, const std::string& outputPath, Progress* progress) {
    return ConvertFile(inputPath, outputPath, kEncodeChunk, progress,
                       [](std::string_view bytes, std::string& out) { out = Base64Encode(bytes); });
}

int Base64DecodeFile(const std::string& inputPath, const std::string& outputPath, Progress* progress) {
    Base64Decoder decoder;
    return ConvertFile(inputPath, outputPath, kDecodeChunk, progress,
                       [&decoder](std::string_view text, std::string& out) { decoder.Feed(text, out); });
}

} // namespace qh
