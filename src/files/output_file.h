// The output end of every command that writes a file: a safe output that is
// never left half-written and never replaces anything but a regular file.
#ifndef QUILLHORN_OUTPUT_FILE_H
#define QUILLHORN_OUTPUT_FILE_H

#include <cstddef>
#include <cstdint>
#include <string>

namespace qh {

// A file written to a temporary file beside the target and renamed over the
// target by Commit. Until then the target is untouched; without a Commit the
// temporary file is removed.
//
// Where the folder takes no new file but an existing target may be written
// (a writable file in a read-only folder), the target is written in place:
// the bytes wait in a temporary file in $TMPDIR (or /tmp) and Commit copies
// them over the target. That path is not atomic: a failure during the copy
// leaves the target damaged, though nothing before Commit touches it. It
// keeps the file itself, so hard links to it see the new content; the rename
// of the usual path gives the name a new file and leaves other links to the
// old one.
//
// A symbolic link is followed, a dangling one too: the file it points to is
// written (created if need be) and the link stays. An existing target keeps
// its permission bits and, where the process may set them, its owner and
// group; a new file gets 0666 less the umask. Only a regular file or a name
// that does not exist yet is replaced: a folder, a device or a FIFO is
// refused and left as it is, and so is a file the process may not write.
//
// The temporary file is registered (temporary_files.h) from its creation until
// it is renamed or removed, so that an interrupted process removes it. On
// Linux its bytes are handed to the disk every MiB as they come, so that the
// sync in Commit has little left to wait for.
class OutputFile {
public:
    OutputFile() = default;
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    // False when the output cannot be made: an empty path, a link that leads
    // nowhere (a loop), a target that may not be replaced (see above), or a
    // folder that is missing or refuses a new file when the target is new.
    bool Open(const std::string& path);
    // False on a write error; later writes and the Commit then fail too.
    bool Write(const void* data, std::size_t length);
    // Flushes the data to disk and renames it over the target (or copies it
    // into the target, in place); false on failure.
    bool Commit();
    // True when the target is written in place (see above).
    bool InPlace() const { return inPlace_; }
    // The errno of the call that made Open, Write or Commit fail; 0 before any failure.
    int Error() const { return error_; }

private:
    // Records `error`, removes the temporary file and returns false.
    bool fail(int error);
    void discard();
    bool copyIntoTarget();

    // Bytes written so far, and where the range not yet handed to the disk starts.
    static constexpr std::uint64_t kWritebackStep = 1 << 20;
    std::uint64_t written_ = 0;
    std::uint64_t writebackFrom_ = 0;
    int fd_ = -1;
    std::string target_;
    std::string temporary_;
    bool failed_ = false;
    bool inPlace_ = false;
    int error_ = 0;
};

} // namespace qh

#endif
