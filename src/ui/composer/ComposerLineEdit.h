#pragma once

#include <QLineEdit>

namespace tavrel {

// A single-line box that reports focus and key releases, and does not select its text when
// tabbed into: only the placeholder is selected on focus, by the window.
class ComposerLineEdit final : public QLineEdit {
    Q_OBJECT
public:
    using QLineEdit::QLineEdit;

signals:
    void focusGained();
    void keyReleased();

protected:
    void focusInEvent(QFocusEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
};

} // namespace tavrel
