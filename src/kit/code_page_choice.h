// The user's choice of code page, kept across runs in a file of its own beside
// the user's settings: $XDG_CONFIG_HOME/quillhorn/codepage.conf (~/.config
// when the variable is not set). The file holds one line, "codepage=NAME",
// NAME as CodePageName gives it.
#ifndef QUILLHORN_CODE_PAGE_CHOICE_H
#define QUILLHORN_CODE_PAGE_CHOICE_H

#include "code_page.h"

#include <QString>

namespace qh {

QString CodePageChoicePath();

// The saved page; GBK when nothing (or nothing known) is saved.
CodePage LoadCodePageChoice();

// Saves the page, replacing the file atomically; false when it cannot be written.
bool SaveCodePageChoice(CodePage page);

} // namespace qh

#endif
