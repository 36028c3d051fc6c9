#include "AboutTexts.h"

#include <QUrl>

namespace tavrel {

QString VersionLine(int major, int minor, int revision) {
    return QStringLiteral("Version %1.%2.%3").arg(major).arg(minor).arg(revision);
}

QString RightsNotice(int year) {
    return QStringLiteral("Copyright \u00A9 ") + QString::number(year);
}

QString MakerLine() {
    return QStringLiteral("by ") + kMakerName + QStringLiteral(", all rights reserved");
}

QString HomePageText() {
    return QUrl(kHomePage).toString(QUrl::RemoveScheme | QUrl::StripTrailingSlash).mid(2);
}

} // namespace tavrel
