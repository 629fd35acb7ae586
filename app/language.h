#ifndef QUORVEL_LANGUAGE_H
#define QUORVEL_LANGUAGE_H

#include <QString>

// The interface speaks Chinese, the language its texts are written in, or
// English through a translation compiled into the program.
namespace language {

const QString chinese = QStringLiteral("zh");
const QString english = QStringLiteral("en");

bool isKnown(const QString &code);
// The language the user chose last (menu or --lang); empty when never chosen
// or when the store holds something else.
QString stored();
void store(const QString &code);
// Installs the translation of code into the running application; Chinese
// needs none. False when the translation cannot be loaded.
bool install(const QString &code);
// The language whose translation is installed: what the window shows.
QString current();
// A text of the main window in the language code, installed or not.
QString translate(const QString &code, const char *mainWindowText);

} // namespace language

#endif // QUORVEL_LANGUAGE_H
