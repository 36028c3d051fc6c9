#include "MessageTextForm.h"

namespace tavrel {

QString ToFileText(const QString& shown) {
    QString text = shown;
    return text.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
}

QString FromFileText(const QString& stored) {
    QString text = stored;
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    return text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
}

qsizetype StoredLength(const QString& shown) {
    return shown.size() + shown.count(QLatin1Char('\n'));
}

} // namespace tavrel
