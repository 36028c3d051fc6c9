#include "SelectActiveText.h"

#include <QLineEdit>
#include <QPlainTextEdit>

namespace tavrel {

void SelectActiveText(QWidget* window) {
    if (!window)
        return;
    QWidget* focus = window->focusWidget();
    if (auto* line = qobject_cast<QLineEdit*>(focus))
        line->setSelection(0, line->text().size());
    else if (auto* text = qobject_cast<QPlainTextEdit*>(focus))
        text->selectAll();
}

} // namespace tavrel
