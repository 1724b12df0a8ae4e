// Where the decoder's named settings live.
#ifndef QUILLHORN_SETTINGS_LOCATION_H
#define QUILLHORN_SETTINGS_LOCATION_H

#include <string>

namespace qh {

// quillhorn.conf in the working folder when there is one (a folder the user
// keeps settings in, as the program has always read them); otherwise the
// user's own, $XDG_CONFIG_HOME/quillhorn/quillhorn.conf (~/.config when the
// variable is not set). The first start that finds neither puts the starter
// settings there, so that only a file that cannot be read or parsed gives a
// message. An existing file is never overwritten.
std::string SettingsFilePath();

} // namespace qh

#endif
