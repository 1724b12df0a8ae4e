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

// Progress counts bytes of the input file. A stop returns QH_RSA_E_CANCELLED
// and, as every failure, leaves no output behind.
int EncryptFileStream(BlockCipher& cipher, const char* inputPath, const char* outputPath, ProgressMeter& meter);
int DecryptFileStream(BlockCipher& cipher, const char* inputPath, const char* outputPath, ProgressMeter& meter);

} // namespace qh::rsa

#endif
