// Encrypted files: a 10-byte header (magic "QHRSA", the version, which is the
// number of the stream's layout, and k as 4 bytes big-endian) followed by the
// block stream in binary. Files are streamed a
// few hundred blocks at a time. The output follows the rules of every output
// of the program (qh::OutputFile): written beside its target and renamed over
// it only on success, links followed, anything but a regular file refused.
#ifndef QUILLHORN_RSA_COMPONENT_RSA_FILE_H
#define QUILLHORN_RSA_COMPONENT_RSA_FILE_H

#include "block_codec.h"

namespace qh::rsa {

int EncryptFileStream(BlockCipher& cipher, const char* inputPath, const char* outputPath);
int DecryptFileStream(BlockCipher& cipher, const char* inputPath, const char* outputPath);

} // namespace qh::rsa

#endif
