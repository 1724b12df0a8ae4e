// The files of a folder and of all its subfolders.
#ifndef QUILLHORN_FOLDER_FILES_H
#define QUILLHORN_FOLDER_FILES_H

#include "progress.h"

#include <optional>
#include <string>
#include <vector>

namespace qh {

// The paths of the regular files under `folder`, at any depth, sorted. A link
// to a file counts as a file; links to folders are not followed, so that a
// link back up cannot make the walk endless. Subfolders that cannot be read
// are left out. `progress` (may be null) counts the files found and is looked
// at after each; nothing when it was cancelled or `folder` cannot be read.
std::optional<std::vector<std::string>> FilesInFolder(const std::string& folder, Progress* progress = nullptr);

} // namespace qh

#endif
