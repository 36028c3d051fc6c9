#pragma once

#include "MonthGrid.h"

#include <QDate>
#include <QDialog>
#include <QImage>
#include <functional>
#include <optional>

class QKeyEvent;
class QLabel;
class QMouseEvent;
class QPainter;
class QPushButton;

namespace tavrel {

class ClickLabel;
class Clock;
class DateText;
class Dialogs;

inline const QString kPickADateCaption = QStringLiteral("Pick a date");
inline const QString kPastDateText =
    QStringLiteral("Please notice: the date you picked is in the PAST...");
inline const QString kPastDateTitle = QStringLiteral("Think ahead");

// The date picker: one month drawn by the program on `picMonth`, moved through with keys, the
// mouse and "<<" / ">>", and a date that is not in the past accepted or the choice cancelled.
// Created on first use and kept: hiding it keeps its state for the next call, unloading it
// (Enter, Escape, the close box) makes the next call load it afresh.
class frmCalendar final : public QDialog {
    Q_OBJECT
public:
    // `focusDaysPrior` moves the focus to the composer's days-prior spin control after "&Ok".
    frmCalendar(const Clock& clock, Dialogs& dialogs, const DateText& dates,
                std::function<void()> focusDaysPrior = {}, QWidget* parent = nullptr);
    ~frmCalendar() override;
    Q_DISABLE_COPY_MOVE(frmCalendar)

    // Shows the picker modally on `userdate` (today when it is no valid date). Returns true when
    // the user accepted a date, which `userdate` then holds; otherwise `userdate` is untouched.
    // `Title`, when given, becomes the caption.
    bool GetDate(QDate& userdate, const std::optional<QString>& Title = std::nullopt);

    QDate currentDate() const { return m_currentDate; }
    bool accepted() const { return m_accepted; }
    bool loaded() const { return m_loaded; }
    const MonthGrid& grid() const { return m_grid; }
    // Where the grid starts on `picMonth` (inside its border).
    QPoint gridOrigin() const;

    // Makes `newDate` current: within the shown month only the two frames are redrawn,
    // otherwise the whole month. Dates beyond the pickable range stop at its end.
    void SelectDate(QDate newDate);
    // Draws (on) or erases (off) the sunken frame round the cell of the current date.
    void FrameSelectedDay(bool on);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    // The close box and Escape on a button unload the dialog like Escape on the month.
    void reject() override;

private:
    void Form_Load();
    void Hide(bool acceptedDate);
    void Unload();
    // The past-date check of every way of accepting; true when the date was refused.
    bool RefusePastDate();
    void showLongDate();
    // Month heading, long date and a full repaint: the shown month changed.
    void showMonth();

    bool picMonth_KeyDown(QKeyEvent* event);
    void picMonth_MouseDown(QMouseEvent* event);
    void picMonth_Click();
    void picMonth_DblClick(QMouseEvent* event);
    void lblNext_MouseDown(Qt::MouseButton button);
    void lblNext_DblClick(Qt::MouseButton button);
    void lblPrev_MouseDown(Qt::MouseButton button);
    void lblPrev_DblClick(Qt::MouseButton button);
    void cmdok_Click();
    void cmdCancel_Click();

    // Painting (frmCalendarPaint.cpp). The month lives in an image kept like a picture box's
    // own: the paint handler draws it afresh unless only the frames were redrawn since.
    void picMonth_Paint();
    void PaintMonth();
    void drawFrame(QPainter& painter, bool on) const;
    bool ensureSurface();

    const Clock& m_clock;
    Dialogs& m_dialogs;
    const DateText& m_dates;
    std::function<void()> m_focusDaysPrior;

    ClickLabel* lblPrev;
    QLabel* lblMonth;
    ClickLabel* lblNext;
    QWidget* picMonth;
    QLabel* lbllongdate;
    QPushButton* cmdok;
    QPushButton* cmdCancel;

    QDate m_currentDate;
    bool m_accepted = false;
    bool m_loaded = false;
    MonthGrid m_grid;
    QImage m_surface;
    bool m_monthPending = true;
    bool m_framesOnly = false;
    bool m_clickPending = false;
};

} // namespace tavrel
