// Qt's own texts (the buttons of message boxes, the file dialogs, the overwrite
// question) in the language of the user interface, Simplified Chinese.
#ifndef QUILLHORN_QT_TRANSLATIONS_H
#define QUILLHORN_QT_TRANSLATIONS_H

class QCoreApplication;
class QTranslator;

namespace qh {

// Installs Qt's Simplified Chinese translation into `app` (which owns it).
// Returns it, or null when the system has none: Qt then speaks English.
QTranslator* InstallQtTranslations(QCoreApplication& app);

} // namespace qh

#endif
