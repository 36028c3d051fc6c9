#pragma once

#include <QWidget>

class QToolButton;

namespace tavrel {

// A spin control without a box of its own: an up and a down arrow stepping a value within a
// range. The window binds it to a text box; it asks for the box's number before each step.
class UpDown final : public QWidget {
    Q_OBJECT
public:
    explicit UpDown(QWidget* parent = nullptr);

    void setRange(int minimum, int maximum);
    int value() const { return m_value; }
    int minimum() const { return m_minimum; }
    int maximum() const { return m_maximum; }
    // Sets the value without a change event (the bound box already shows it).
    void setValue(int value);
    // One step up (+1) or down (-1); a value at the end of the range stays and nothing is
    // reported.
    void stepBy(int steps);

    QToolButton* upButton() const { return m_up; }
    QToolButton* downButton() const { return m_down; }

signals:
    // Before a step: the owner may setValue() from its box so that both stay in step.
    void aboutToStep();
    void valueChanged(int value);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QToolButton* m_up;
    QToolButton* m_down;
    int m_minimum = 0;
    int m_maximum = 100;
    int m_value = 0;
};

} // namespace tavrel
