// Whether two paths name one file.
#ifndef QUILLHORN_SAME_FILE_H
#define QUILLHORN_SAME_FILE_H

#include <string>

namespace qh {

// True when both paths name one existing file, through links or different
// spellings of the path alike.
bool SameFile(const std::string& a, const std::string& b);

} // namespace qh

#endif
