#include "FileText.h"

#include <QList>

#include <windows.h>

namespace tavrel {

namespace {

// The text in the ANSI code page, or nothing when a character has no byte form there: best-fit
// mappings (such as "e" for an e with a mark the code page lacks) count as missing too.
bool toAnsi(const QString& text, QByteArray* bytes) {
    if (text.isEmpty()) {
        if (bytes)
            bytes->clear();
        return true;
    }
    const auto* wide = reinterpret_cast<LPCWCH>(text.utf16());
    const int length = static_cast<int>(text.size());
    BOOL usedDefault = FALSE;
    const int size = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide, length, nullptr, 0,
                                         nullptr, &usedDefault);
    if (size <= 0 || usedDefault)
        return false;
    if (bytes) {
        bytes->resize(size);
        WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide, length, bytes->data(), size,
                            nullptr, nullptr);
    }
    return true;
}

} // namespace

QString DecodeFileText(const QByteArray& bytes) {
    if (bytes.isEmpty())
        return QString();
    const int length = static_cast<int>(bytes.size());
    const int size = MultiByteToWideChar(CP_ACP, 0, bytes.constData(), length, nullptr, 0);
    QString text(size, Qt::Uninitialized);
    MultiByteToWideChar(CP_ACP, 0, bytes.constData(), length, reinterpret_cast<LPWSTR>(text.data()),
                        size);
    return text;
}

QByteArray EncodeFileText(const QString& text) {
    QByteArray bytes;
    if (toAnsi(text, &bytes))
        return bytes;
    // Only reached for text no save let through (the program's own lines are plain ASCII): each
    // character that fits is kept, the rest are dropped rather than shown as "?".
    bytes.clear();
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype width = text.at(i).isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        QByteArray one;
        if (toAnsi(text.mid(i, width), &one))
            bytes += one;
        i += width;
    }
    return bytes;
}

QString UnencodableFileChars(const QString& text) {
    QString found;
    if (toAnsi(text, nullptr))
        return found;
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype width = text.at(i).isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        const QString one = text.mid(i, width);
        if (!toAnsi(one, nullptr) && !found.contains(one))
            found += one;
        i += width;
    }
    return found;
}

} // namespace tavrel
