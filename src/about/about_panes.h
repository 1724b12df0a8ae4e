// The three panes of the "about this software" group: the release history, the
// installation notes with where help is found, and how to reach the author.
#ifndef QUILLHORN_ABOUT_PANES_H
#define QUILLHORN_ABOUT_PANES_H

#include "about_help_pane.h"
#include "about_me_pane.h"
#include "about_ver_pane.h"

#endif
