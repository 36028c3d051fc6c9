#pragma once

#include <QFont>
#include <QIcon>

class QLabel;

namespace tavrel {

// The program's icon, from the built-in resources (16 to 256 pixels).
QIcon ProgramIcon();

// The dialogs' classic look asked for "MS Sans Serif" at a given size; the system's own sans
// serif family stands in for it at the same point size.
QFont ClassicFont(qreal pointSize, bool bold = false);

// Widens (and if need be heightens) a label whose text would not fit the measures its layout
// gives it; the system font is wider than the one those measures were made for.
void FitLabelWidth(QLabel* label);

// The default size of the classic dialog font.
constexpr qreal kClassicPointSize = 8.25;

} // namespace tavrel
