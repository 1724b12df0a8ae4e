// The input end of the file commands: a file read in whole runs.
#ifndef QUILLHORN_INPUT_FILE_H
#define QUILLHORN_INPUT_FILE_H

#include <cstddef>
#include <string>

namespace qh {

// A regular file opened for reading (a folder does not open), closed when it goes.
class InputFile {
public:
    explicit InputFile(const std::string& path);
    ~InputFile();
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;

    bool IsOpen() const { return fd_ >= 0; }
    // Fills `data` up to `length` bytes, short only at the end of the file
    // (pipes and terminals may hand out less per read). -1 on a read error.
    long long Read(void* data, std::size_t length);

private:
    int fd_ = -1;
};

} // namespace qh

#endif
