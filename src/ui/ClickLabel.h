#pragma once

#include <QLabel>

namespace tavrel {

// A label that reports the mouse the way the dialogs' handlers want it: a button going down, a
// double click (the second press of a quick pair, which brings no second `mouseDown`), and a
// click (press and release over the label).
class ClickLabel final : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;

signals:
    void mouseDown(Qt::MouseButton button);
    void doubleClicked(Qt::MouseButton button);
    void clicked(Qt::MouseButton button);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    Qt::MouseButton m_pressed = Qt::NoButton;
};

} // namespace tavrel
