#pragma once

#include <QByteArray>
#include <QString>

namespace tavrel {

// Text in files is in the system's code page. Off Windows that is UTF-8, and bytes that are not
// valid UTF-8 come from older copies on Windows and are read as Windows-1252. On Windows it is
// the ANSI code page (Windows-1252 on a Western system).
QString DecodeFileText(const QByteArray& bytes);
QByteArray EncodeFileText(const QString& text);

// The characters of `text` that the file code page cannot hold, each once, in their order;
// empty when all can be written. A save refuses them rather than write "?" in their place.
QString UnencodableFileChars(const QString& text);

} // namespace tavrel
