#pragma once

#include <QDate>
#include <QPoint>
#include <QRect>

namespace tavrel {

// Geometry of the date picker's month: 7 columns (Sunday in column 0) by 6 rows of day cells,
// no weekday names. Plain arithmetic in the drawing surface's units; the picker uses
// device-independent pixels.
class MonthGrid {
public:
    static constexpr int kColumns = 7;
    static constexpr int kRows = 6;

    MonthGrid() = default;
    MonthGrid(int cellWidth, int cellHeight);

    // The cell size for a surface of the given inner size: one pixel is kept back for the right
    // and bottom frame edges of the last column and row. The operands are rounded (halves to
    // even) before the division, which truncates. Never smaller than 1.
    static MonthGrid forSurface(double innerWidth, double innerHeight, double onePixel);

    int cellWidth() const { return m_cellWidth; }
    int cellHeight() const { return m_cellHeight; }

    // Weekday of the first day of `date`'s month, Sunday = 0 ... Saturday = 6.
    static int offset(QDate date);
    static int daysInMonth(QDate date);
    // Cell index of `date` in its own month's grid: day - 1 + offset.
    static int cellIndex(QDate date);
    static int column(int index) { return index % kColumns; }
    static int row(int index) { return index / kColumns; }

    // Top-left corner of a cell.
    QPoint cellOrigin(int index) const;
    // The cell of `date`, one unit wider and higher so that it holds all four frame edges.
    QRect frameRect(QDate date) const;

    // The day under (x, y) in the month of `shown`; an invalid date for an empty cell or a
    // point outside the grid. Coordinates are rounded (halves to even) before the division.
    QDate dayAt(QDate shown, double x, double y) const;

private:
    int m_cellWidth = 1;
    int m_cellHeight = 1;
};

// The dates the picker can move between: the years the program's four-digit date texts hold.
// Movement past either end stops at the end.
inline QDate FirstPickableDate() {
    return {100, 1, 1};
}
inline QDate LastPickableDate() {
    return {9999, 12, 31};
}

QDate ClampToPickable(QDate date);
// Calendar steps that stop at the pickable range. A month step keeps the day of the month,
// clamped to the last day of the target month (31 January + 1 month = last day of February).
QDate AddDaysClamped(QDate date, qint64 days);
QDate AddMonthsClamped(QDate date, int months);

} // namespace tavrel
