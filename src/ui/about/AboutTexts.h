#pragma once

#include <QString>

namespace tavrel {

// The maker's home page: shown in the about box and opened from its link.
inline const QString kHomePage = QStringLiteral("https://github.com/tavrel/tavrel");
inline const QString kMakerName = QStringLiteral("Kestrane");

// "Version 2.0.8": each number as decimal text without leading zeros.
QString VersionLine(int major, int minor, int revision);
// The rights notice, ending in `year`.
QString RightsNotice(int year);
// The line naming the maker.
QString MakerLine();
// The home page as the link shows it: without its scheme.
QString HomePageText();

} // namespace tavrel
