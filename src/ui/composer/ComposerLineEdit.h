#pragma once

#include <QLineEdit>

namespace tavrel {

// A single-line box that reports focus, clicks and key releases, and does not select its text
// when tabbed into: only the placeholder is selected on focus, by the window.
class ComposerLineEdit final : public QLineEdit {
    Q_OBJECT
public:
    explicit ComposerLineEdit(QWidget* parent = nullptr);

signals:
    void focusGained();
    void keyReleased();
    // A left click has placed the caret (after any focus it gave).
    void clicked();

protected:
    void focusInEvent(QFocusEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
};

} // namespace tavrel
