#include "ClickLabel.h"

#include <QMouseEvent>

namespace tavrel {

void ClickLabel::mousePressEvent(QMouseEvent* event) {
    m_pressed = event->button();
    event->accept();
    emit mouseDown(event->button());
}

void ClickLabel::mouseReleaseEvent(QMouseEvent* event) {
    const bool click = event->button() == m_pressed && rect().contains(event->position().toPoint());
    m_pressed = Qt::NoButton;
    event->accept();
    if (click)
        emit clicked(event->button());
}

void ClickLabel::mouseDoubleClickEvent(QMouseEvent* event) {
    // The release that ends a double click is no second click.
    m_pressed = Qt::NoButton;
    event->accept();
    emit doubleClicked(event->button());
}

} // namespace tavrel
