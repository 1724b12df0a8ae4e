// The temporary files and folders the process has made and not yet put in
// place or removed, so that a process ended by a signal can remove them first.
#ifndef QUILLHORN_TEMPORARY_FILES_H
#define QUILLHORN_TEMPORARY_FILES_H

#include <mutex>
#include <string>

namespace qh {

// Holds the registry for as long as it lives: RemoveTemporaryFiles waits until
// it goes. Whoever makes a temporary file holds one from before the file is
// created until it is registered, and from before the file is put in place
// until it is forgotten, so that a removal never comes between the two.
class TemporaryFilesLock {
public:
    TemporaryFilesLock();
    ~TemporaryFilesLock();
    TemporaryFilesLock(const TemporaryFilesLock&) = delete;
    TemporaryFilesLock& operator=(const TemporaryFilesLock&) = delete;

private:
    std::unique_lock<std::recursive_mutex> lock_;
};

// Records a temporary file, or a folder that is removed with what it holds.
void RegisterTemporaryFile(const std::string& path);
void RegisterTemporaryFolder(const std::string& path);
// Forgets a path that was put in place or removed.
void ForgetTemporary(const std::string& path);

// Removes every recorded file and folder, for a process that is about to end
// on a signal. The registry stays held afterwards: a temporary file that the
// rest of the process is about to make waits, and is never made.
void RemoveTemporaryFiles();

} // namespace qh

#endif
