#pragma once

#include <QByteArray>
#include <QString>

namespace tavrel {

// Text in files is UTF-8; bytes that are not valid UTF-8 come from older copies on Windows and
// are read as Windows-1252.
QString DecodeFileText(const QByteArray& bytes);
QByteArray EncodeFileText(const QString& text);

} // namespace tavrel
