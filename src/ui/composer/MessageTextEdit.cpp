#include "MessageTextEdit.h"

#include "MessageTextForm.h"

#include <QMouseEvent>
#include <QTextCursor>
#include <QTextDocument>

namespace tavrel {

MessageTextEdit::MessageTextEdit(QWidget* parent) : QPlainTextEdit(parent) {
    setTabChangesFocus(true);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    connect(document(), &QTextDocument::contentsChange, this, [this](int position, int, int added) {
        m_changeStart = position;
        m_changeEnd = position + added;
    });
    connect(this, &QPlainTextEdit::textChanged, this, &MessageTextEdit::enforceLimit);
}

QString MessageTextEdit::fileText() const {
    return ToFileText(toPlainText());
}

void MessageTextEdit::setFileText(const QString& text) {
    m_programmatic = true;
    setPlainText(FromFileText(text));
    m_programmatic = false;
}

void MessageTextEdit::enforceLimit() {
    if (m_programmatic || m_enforcing)
        return;
    const QString text = toPlainText();
    qsizetype excess = StoredLength(text) - kMessageTextLimit;
    if (excess <= 0)
        return;
    // Cut the overflow from the end of what was just put in; the program's own longer text
    // (from an older file) stays, it only takes no more.
    const int end = qBound(0, m_changeEnd, int(text.size()));
    const int floor = qBound(0, m_changeStart, end);
    int start = end;
    while (excess > 0 && start > floor) {
        --start;
        excess -= text.at(start) == QLatin1Char('\n') ? 2 : 1;
    }
    m_enforcing = true;
    QTextCursor cursor(document());
    cursor.joinPreviousEditBlock();
    cursor.setPosition(start);
    cursor.setPosition(end, QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
    cursor.endEditBlock();
    m_enforcing = false;
}

void MessageTextEdit::focusInEvent(QFocusEvent* event) {
    QPlainTextEdit::focusInEvent(event);
    emit focusGained();
}

void MessageTextEdit::keyReleaseEvent(QKeyEvent* event) {
    QPlainTextEdit::keyReleaseEvent(event);
    emit keyReleased();
}

void MessageTextEdit::mouseReleaseEvent(QMouseEvent* event) {
    QPlainTextEdit::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton)
        emit clicked();
}

} // namespace tavrel
