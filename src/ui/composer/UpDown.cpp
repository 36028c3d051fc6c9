#include "UpDown.h"

#include <QAccessibleValueInterface>
#include <QAccessibleWidget>
#include <QKeyEvent>
#include <QToolButton>

namespace tavrel {

namespace {

// A screen reader meets one spin button with a value, not two unnamed arrow buttons.
class UpDownAccessible final : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    explicit UpDownAccessible(UpDown* control) : QAccessibleWidget(control, QAccessible::SpinBox) {}

    int childCount() const override { return 0; }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }

    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Value)
            return QString::number(upDown()->value());
        return QAccessibleWidget::text(t);
    }

    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::ValueInterface)
            return static_cast<QAccessibleValueInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    QVariant currentValue() const override { return upDown()->value(); }
    void setCurrentValue(const QVariant& value) override {
        const int wanted = value.toInt();
        while (upDown()->value() != wanted) {
            const int before = upDown()->value();
            upDown()->stepBy(wanted > before ? 1 : -1);
            if (upDown()->value() == before)
                break;
        }
    }
    QVariant maximumValue() const override { return upDown()->maximum(); }
    QVariant minimumValue() const override { return upDown()->minimum(); }
    QVariant minimumStepSize() const override { return 1; }

private:
    UpDown* upDown() const { return static_cast<UpDown*>(widget()); }
};

QAccessibleInterface* upDownAccessible(const QString& className, QObject* object) {
    if (className == QLatin1String("tavrel::UpDown") && object && object->isWidgetType())
        return new UpDownAccessible(static_cast<UpDown*>(object));
    return nullptr;
}

QToolButton* arrowButton(Qt::ArrowType arrow, QWidget* parent) {
    auto* button = new QToolButton(parent);
    button->setArrowType(arrow);
    button->setAutoRepeat(true);
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}

} // namespace

UpDown::UpDown(QWidget* parent)
    : QWidget(parent), m_up(arrowButton(Qt::UpArrow, this)),
      m_down(arrowButton(Qt::DownArrow, this)) {
    static const bool accessible = (QAccessible::installFactory(upDownAccessible), true);
    Q_UNUSED(accessible);
    setFocusPolicy(Qt::StrongFocus);
    m_up->setObjectName(QStringLiteral("up"));
    m_down->setObjectName(QStringLiteral("down"));
    connect(m_up, &QToolButton::clicked, this, [this] { stepBy(1); });
    connect(m_down, &QToolButton::clicked, this, [this] { stepBy(-1); });
}

void UpDown::setRange(int minimum, int maximum) {
    m_minimum = minimum;
    m_maximum = maximum;
    m_value = qBound(m_minimum, m_value, m_maximum);
}

void UpDown::setValue(int value) {
    m_value = qBound(m_minimum, value, m_maximum);
}

void UpDown::stepBy(int steps) {
    emit aboutToStep();
    const int next = qBound(m_minimum, m_value + steps, m_maximum);
    if (next == m_value)
        return;
    m_value = next;
    QAccessibleValueChangeEvent change(this, m_value);
    QAccessible::updateAccessibility(&change);
    emit valueChanged(m_value);
}

void UpDown::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Up)
        stepBy(1);
    else if (event->key() == Qt::Key_Down)
        stepBy(-1);
    else
        QWidget::keyPressEvent(event);
}

void UpDown::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    const int upper = height() / 2;
    m_up->setGeometry(0, 0, width(), upper);
    m_down->setGeometry(0, upper, width(), height() - upper);
}

} // namespace tavrel
