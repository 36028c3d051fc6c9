#include "WindowLook.h"

#include <QApplication>
#include <QFontMetricsF>
#include <QLabel>
#include <QWidget>

// The resources live in a static library: nothing would pull them into the program unless they
// are registered by name.
static void initProgramResources() {
    Q_INIT_RESOURCE(tavrel);
}

namespace tavrel {

QIcon ProgramIcon() {
    initProgramResources();
    QIcon icon;
    for (int size : {16, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/icons/tavrel-%1.png").arg(size), QSize(size, size));
    return icon;
}

QFont ClassicFont(qreal pointSize, bool bold) {
    QFont font = QApplication::font();
    font.setPointSizeF(pointSize);
    font.setBold(bold);
    return font;
}

void FitLabelWidth(QLabel* label) {
    const QSize needed = label->sizeHint();
    label->resize(std::max(label->width(), needed.width()),
                  std::max(label->height(), needed.height()));
}

QFont FontToFit(QFont font, const QString& text, int width, const QPaintDevice* device) {
    while (font.pointSizeF() > 6.0 && QFontMetricsF(font, device).horizontalAdvance(text) > width)
        font.setPointSizeF(std::max(6.0, font.pointSizeF() - 0.25));
    return font;
}

bool IsDarkPalette(const QPalette& palette) {
    return palette.color(QPalette::Window).lightness() <
           palette.color(QPalette::WindowText).lightness();
}

QColor FixedTextColour(const QPalette& palette, const QColor& fixed, QPalette::ColorRole role) {
    if (!IsDarkPalette(palette))
        return fixed;
    const QColor own = palette.color(role);
    if (role != QPalette::WindowText &&
        own.lightness() <= palette.color(QPalette::Window).lightness())
        return palette.color(QPalette::WindowText);
    return own;
}

void SetFixedTextColour(QWidget* widget, const QColor& fixed, QPalette::ColorRole role) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, FixedTextColour(QApplication::palette(), fixed, role));
    widget->setPalette(palette);
}

} // namespace tavrel
