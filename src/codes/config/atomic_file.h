// Replaces a file's content so that a reader sees either the old content or the
// new, never a mix: the bytes go to a temporary file in the same folder, which is
// flushed to disk and then renamed over the target.
#ifndef QUILLHORN_ATOMIC_FILE_H
#define QUILLHORN_ATOMIC_FILE_H

#include <string>
#include <string_view>

namespace vyst::ansi {

// Writes `content` to `path`. A symbolic link is followed, so the file it points
// to is replaced and the link stays. An existing file keeps its permission bits
// (and, where the process may set them, its owner and group); a new file gets
// 0666 less the umask. Only a regular file or a name that does not exist yet is
// replaced. Returns false on any failure, leaving the old file untouched and no
// temporary file behind.
bool ReplaceFileAtomically(const std::string& path, std::string_view content);

} // namespace vyst::ansi

#endif
