// The static texts of the about pages: named, and always plain text, so that
// an address is never taken for markup.
#ifndef QUILLHORN_ABOUT_LABEL_H
#define QUILLHORN_ABOUT_LABEL_H

#include "tool_pane.h"

#include <QLabel>

namespace qh {

inline QLabel* MakeAboutLabel(const QString& text, const char* name, QWidget* parent) {
    auto* label = named(new QLabel(text, parent), name);
    label->setTextFormat(Qt::PlainText);
    return label;
}

} // namespace qh

#endif
