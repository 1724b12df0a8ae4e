// The input end of the file commands: a file read in whole runs.
#ifndef QUILLHORN_INPUT_FILE_H
#define QUILLHORN_INPUT_FILE_H

#include <cstddef>
#include <cstdint>
#include <string>

namespace qh {

// A file opened for reading (a folder does not open), closed when it goes.
class InputFile {
public:
    explicit InputFile(const std::string& path);
    ~InputFile();
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;

    bool IsOpen() const { return fd_ >= 0; }
    // Whether the open file is a regular file, and its size when it was opened.
    bool IsRegular() const { return regular_; }
    std::uint64_t Size() const { return size_; }
    // True when `path` names the open file, through links or other spellings
    // of the path alike.
    bool IsSameFileAs(const std::string& path) const;
    // Fills `data` up to `length` bytes, short only at the end of the file
    // (pipes and terminals may hand out less per read). -1 on a read error.
    long long Read(void* data, std::size_t length);

private:
    int fd_ = -1;
    bool regular_ = false;
    std::uint64_t size_ = 0;
    std::uint64_t device_ = 0;
    std::uint64_t inode_ = 0;
};

} // namespace qh

#endif
