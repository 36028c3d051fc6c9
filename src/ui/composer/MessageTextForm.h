#pragma once

#include <QString>

namespace tavrel {

// A message text holds at most this many characters as the file stores it.
constexpr qsizetype kMessageTextLimit = 250;

// The toolkit's line breaks are bare line feeds; files hold CR LF.
QString ToFileText(const QString& shown);
QString FromFileText(const QString& stored);
// The length in the file: a line break counts two.
qsizetype StoredLength(const QString& shown);

} // namespace tavrel
