#include "ComposerLineEdit.h"

#include <QAccessibleWidget>
#include <QFocusEvent>
#include <QMouseEvent>

namespace tavrel {

namespace {

// The toolkit reports a read-only line box as editable all the same; a screen reader would offer
// typing into the days box. This one reads its text and says it is read-only.
class ReadOnlyBoxAccessible final : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    explicit ReadOnlyBoxAccessible(QLineEdit* box)
        : QAccessibleWidget(box, QAccessible::EditableText) {}

    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        s.editable = false;
        s.readOnly = true;
        return s;
    }
    QString text(QAccessible::Text t) const override {
        return t == QAccessible::Value ? box()->text() : QAccessibleWidget::text(t);
    }
    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::TextInterface)
            return static_cast<QAccessibleTextInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    void selection(int, int* start, int* end) const override { *start = *end = 0; }
    int selectionCount() const override { return 0; }
    void addSelection(int, int) override {}
    void removeSelection(int) override {}
    void setSelection(int, int, int) override {}
    int cursorPosition() const override { return 0; }
    void setCursorPosition(int) override {}
    QString text(int start, int end) const override {
        return box()->text().mid(start, end - start);
    }
    int characterCount() const override { return int(box()->text().size()); }
    QRect characterRect(int) const override { return {}; }
    int offsetAtPoint(const QPoint&) const override { return -1; }
    void scrollToSubstring(int, int) override {}
    QString attributes(int, int* start, int* end) const override {
        *start = *end = 0;
        return {};
    }

private:
    QLineEdit* box() const { return static_cast<QLineEdit*>(widget()); }
};

QAccessibleInterface* readOnlyBoxAccessible(const QString& className, QObject* object) {
    if (className != QLatin1String("tavrel::ComposerLineEdit"))
        return nullptr;
    auto* box = static_cast<ComposerLineEdit*>(object);
    return box->isReadOnly() ? new ReadOnlyBoxAccessible(box) : nullptr;
}

} // namespace

ComposerLineEdit::ComposerLineEdit(QWidget* parent) : QLineEdit(parent) {
    static const bool accessible = (QAccessible::installFactory(readOnlyBoxAccessible), true);
    Q_UNUSED(accessible);
}

void ComposerLineEdit::focusInEvent(QFocusEvent* event) {
    // The toolkit selects everything when the box is tabbed into; the window selects only the
    // placeholder. A selection made before (by a routine, before a box took the focus away) is
    // kept: the window manager hands the focus back when the box closes.
    const bool hadSelection = hasSelectedText();
    QLineEdit::focusInEvent(event);
    if (!hadSelection && hasSelectedText())
        deselect();
    emit focusGained();
}

void ComposerLineEdit::keyReleaseEvent(QKeyEvent* event) {
    QLineEdit::keyReleaseEvent(event);
    emit keyReleased();
}

void ComposerLineEdit::mouseReleaseEvent(QMouseEvent* event) {
    QLineEdit::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton)
        emit clicked();
}

} // namespace tavrel
