#include "WindowLook.h"

#include <QApplication>
#include <QLabel>

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

} // namespace tavrel
