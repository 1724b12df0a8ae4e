// Encryption and decryption of files in the layout of 1024-byte chunks (see
// des.h). The input is read in runs of many chunks for speed; the layout is
// still decided chunk by chunk. The marker block that follows a padded final
// chunk of 1016 to 1023 bytes is the encryption of eight 00 bytes.
#include "des.h"

#include "des_tables.h"
#include "input_file.h"
#include "output_file.h"
#include "same_file.h"

#include <cstring>
#include <memory>

namespace qh {
namespace {

constexpr std::size_t kChunk = 1024;
// Runs of 1 MiB: fewer, larger reads and writes make the whole command
// measurably faster than runs of 64 KiB, and even the table code gets through
// a run in about a hundredth of a second between looks at the cancel flag.
constexpr std::size_t kRun = 1024 * kChunk;

// Smallest final chunk whose padding fills a whole chunk and so needs the marker.
constexpr std::size_t kMarkedFrom = kChunk - 8;

bool IsMarker(const std::uint8_t* block) {
    static constexpr std::uint8_t kZero[8] = {};
    return std::memcmp(block, kZero, 8) == 0;
}

// Checks the paths and opens both files; kDesOk or the failure code.
int OpenBoth(const std::string& inputPath, const std::string& outputPath, InputFile& input, OutputFile& output) {
    if (SameFile(inputPath, outputPath))
        return kDesSameFile;
    // Only a regular file: a pipe may wait for a writer forever, a device such
    // as /dev/zero would fill the disk.
    if (!input.IsOpen() || !input.IsRegular())
        return kDesCannotRead;
    if (!output.Open(outputPath))
        return kDesCannotWrite;
    return kDesOk;
}

} // namespace

int DesEncryptFile(const std::string& inputPath, const std::string& outputPath, const DesKey& key, Progress* progress) {
    InputFile input(inputPath);
    OutputFile output;
    if (const int status = OpenBoth(inputPath, outputPath, input, output); status != kDesOk)
        return status;
    if (progress)
        progress->SetTotal(input.Size());
    const DesSchedule schedule(key, false);
    // Room for the marker after a final chunk padded to a whole chunk.
    auto buffer = std::make_unique_for_overwrite<std::uint8_t[]>(kRun + 8);
    for (;;) {
        const long long got = input.Read(buffer.get(), kRun);
        if (got < 0)
            return kDesCannotRead;
        const std::size_t length = static_cast<std::size_t>(got);
        const std::size_t full = length / kChunk * kChunk;
        std::size_t out = full;
        if (length > full) {
            // The final chunk: padded; the padded bytes fit before the next chunk boundary.
            out = full + des_tables::DesPad(buffer.get() + full, length - full);
            if (length - full >= kMarkedFrom) {
                std::memset(buffer.get() + out, 0, 8);
                out += 8;
            }
        }
        schedule.Process(buffer.get(), out / 8);
        if (!output.Write(buffer.get(), out))
            return kDesCannotWrite;
        AddProgress(progress, length);
        if (IsCancelled(progress))
            return kDesCancelled;
        if (length < kRun)
            break;
    }
    return output.Commit() ? kDesOk : kDesCannotWrite;
}

int DesDecryptFile(const std::string& inputPath, const std::string& outputPath, const DesKey& key, Progress* progress) {
    InputFile input(inputPath);
    OutputFile output;
    if (const int status = OpenBoth(inputPath, outputPath, input, output); status != kDesOk)
        return status;
    if (progress)
        progress->SetTotal(input.Size());
    const DesSchedule schedule(key, true);
    // The first chunk holds the last full chunk of the previous run, decrypted
    // but not yet written: it may be the padded chunk before a marker.
    auto buffer = std::make_unique_for_overwrite<std::uint8_t[]>(kChunk + kRun);
    std::uint8_t* const run = buffer.get() + kChunk;
    bool held = false;
    for (;;) {
        const long long got = input.Read(run, kRun);
        if (got < 0)
            return kDesCannotRead;
        AddProgress(progress, static_cast<std::uint64_t>(got));
        if (IsCancelled(progress))
            return kDesCancelled;
        const std::size_t length = static_cast<std::size_t>(got);
        const std::size_t full = length / kChunk * kChunk;
        schedule.Process(run, full / 8);
        std::uint8_t* const start = held ? buffer.get() : run;
        if (length == kRun) {
            // More may follow: write all but the last chunk, and keep that one back.
            if (!output.Write(start, static_cast<std::size_t>(run + full - kChunk - start)))
                return kDesCannotWrite;
            std::memcpy(buffer.get(), run + full - kChunk, kChunk);
            held = true;
            continue;
        }
        std::size_t end = static_cast<std::size_t>(run + full - start);
        const std::size_t rest = length - full;
        if (rest > 0) {
            std::uint8_t* const last = run + full;
            const std::size_t blocks = rest / 8; // bytes after the last whole block are ignored
            if (blocks == 0)
                return kDesCipherFailed;
            schedule.Process(last, blocks);
            if (blocks == 1 && end > 0 && IsMarker(last)) {
                // The chunk before the marker carries the padding.
                const auto plain = des_tables::DesUnpad(last - kChunk, kChunk);
                if (!plain)
                    return kDesCipherFailed;
                end = end - kChunk + *plain;
            } else {
                const auto plain = des_tables::DesUnpad(last, blocks * 8);
                if (!plain)
                    return kDesCipherFailed;
                end += *plain;
            }
        }
        if (!output.Write(start, end))
            return kDesCannotWrite;
        break;
    }
    return output.Commit() ? kDesOk : kDesCannotWrite;
}

} // namespace qh
