#pragma once

#include <QFont>
#include <QIcon>
#include <QPalette>

class QLabel;
class QPaintDevice;
class QWidget;

namespace tavrel {

// The program's icon, from the built-in resources (16 to 256 pixels).
QIcon ProgramIcon();

// The dialogs' classic look asked for "MS Sans Serif" at a given size; the system's own sans
// serif family stands in for it at the same point size.
QFont ClassicFont(qreal pointSize, bool bold = false);

// Widens (and if need be heightens) a label whose text would not fit the measures its layout
// gives it; the system font is wider than the one those measures were made for.
void FitLabelWidth(QLabel* label);

// `font`, made smaller in quarter points (down to 6) until `text` fits `width` on `device`.
QFont FontToFit(QFont font, const QString& text, int width, const QPaintDevice* device);

// A text colour the layout fixes (black, navy, blue) was chosen for a light face. Under a dark
// palette it becomes the palette's own: `role` (WindowText or Link), or WindowText where the
// palette's link colour is no lighter than its face. Under a light palette it stays.
QColor FixedTextColour(const QPalette& palette, const QColor& fixed,
                       QPalette::ColorRole role = QPalette::WindowText);
bool IsDarkPalette(const QPalette& palette);
// Sets a widget's text colour to FixedTextColour() of the application's palette.
void SetFixedTextColour(QWidget* widget, const QColor& fixed,
                        QPalette::ColorRole role = QPalette::WindowText);

// The default size of the classic dialog font.
constexpr qreal kClassicPointSize = 8.25;

} // namespace tavrel
