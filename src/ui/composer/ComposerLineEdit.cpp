#include "ComposerLineEdit.h"

#include <QFocusEvent>

namespace tavrel {

void ComposerLineEdit::focusInEvent(QFocusEvent* event) {
    QLineEdit::focusInEvent(event);
    if (hasSelectedText())
        deselect();
    emit focusGained();
}

void ComposerLineEdit::keyReleaseEvent(QKeyEvent* event) {
    QLineEdit::keyReleaseEvent(event);
    emit keyReleased();
}

} // namespace tavrel
