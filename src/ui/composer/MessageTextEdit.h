#pragma once

#include <QPlainTextEdit>

namespace tavrel {

// The multi-line message box: at most kMessageTextLimit characters as the file stores them (a
// line break counts two). Typing, pasting and dropping past the limit keep only what fits;
// text set by the program is not cut. Tab moves the focus on.
class MessageTextEdit final : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit MessageTextEdit(QWidget* parent = nullptr);

    // The text in its file form (CR LF).
    QString fileText() const;
    // Sets the text from its file form, whatever its length.
    void setFileText(const QString& text);

signals:
    void focusGained();
    void keyReleased();
    // A left click has placed the caret (after any focus it gave).
    void clicked();

protected:
    void focusInEvent(QFocusEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void enforceLimit();

    int m_changeStart = 0;
    int m_changeEnd = 0;
    bool m_programmatic = false;
    bool m_enforcing = false;
};

} // namespace tavrel
