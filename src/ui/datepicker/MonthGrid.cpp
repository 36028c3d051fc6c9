#include "MonthGrid.h"

#include <algorithm>
#include <cmath>

namespace tavrel {

namespace {

// Far beyond any surface; keeps the rounding below in range.
constexpr double kFar = 1e9;

// The default floating-point rounding mode rounds halves to even.
long long roundHalfEven(double v) {
    return std::isnan(v) ? 0 : std::llrint(std::clamp(v, -kFar, kFar));
}

} // namespace

MonthGrid::MonthGrid(int cellWidth, int cellHeight)
    : m_cellWidth(std::max(1, cellWidth)), m_cellHeight(std::max(1, cellHeight)) {}

MonthGrid MonthGrid::forSurface(double innerWidth, double innerHeight, double onePixel) {
    const long long w = roundHalfEven(innerWidth - onePixel) / kColumns;
    const long long h = roundHalfEven(innerHeight - onePixel) / kRows;
    return MonthGrid(static_cast<int>(std::clamp<long long>(w, 1, 32767)),
                     static_cast<int>(std::clamp<long long>(h, 1, 32767)));
}

int MonthGrid::offset(QDate date) {
    // QDate counts Monday = 1 ... Sunday = 7.
    return QDate(date.year(), date.month(), 1).dayOfWeek() % 7;
}

int MonthGrid::daysInMonth(QDate date) {
    return date.daysInMonth();
}

int MonthGrid::cellIndex(QDate date) {
    return date.day() - 1 + offset(date);
}

QPoint MonthGrid::cellOrigin(int index) const {
    return {column(index) * m_cellWidth, row(index) * m_cellHeight};
}

QRect MonthGrid::frameRect(QDate date) const {
    return {cellOrigin(cellIndex(date)), QSize(m_cellWidth + 1, m_cellHeight + 1)};
}

QDate MonthGrid::dayAt(QDate shown, double x, double y) const {
    if (!shown.isValid() || !(std::abs(x) < kFar) || !(std::abs(y) < kFar))
        return {};
    const long long rx = roundHalfEven(x);
    const long long ry = roundHalfEven(y);
    if (rx < 0 || ry < 0)
        return {};
    const long long col = rx / m_cellWidth;
    const long long row = ry / m_cellHeight;
    // The strip right of the last column would otherwise wrap into the next row's first day.
    if (col >= kColumns || row >= kRows)
        return {};
    const long long day = row * kColumns + col + 1 - offset(shown);
    if (day < 1 || day > daysInMonth(shown))
        return {};
    return {shown.year(), shown.month(), static_cast<int>(day)};
}

QDate ClampToPickable(QDate date) {
    if (!date.isValid())
        return date;
    return std::clamp(date, FirstPickableDate(), LastPickableDate());
}

QDate AddDaysClamped(QDate date, qint64 days) {
    const qint64 room =
        days < 0 ? date.daysTo(FirstPickableDate()) : date.daysTo(LastPickableDate());
    if ((days < 0 && days < room) || (days > 0 && days > room))
        return days < 0 ? FirstPickableDate() : LastPickableDate();
    return date.addDays(days);
}

QDate AddMonthsClamped(QDate date, int months) {
    const long long target = static_cast<long long>(date.year()) * 12 + (date.month() - 1) + months;
    const long long first = static_cast<long long>(FirstPickableDate().year()) * 12;
    const long long last = static_cast<long long>(LastPickableDate().year()) * 12 + 11;
    if (target < first)
        return FirstPickableDate();
    if (target > last)
        return LastPickableDate();
    return date.addMonths(months);
}

} // namespace tavrel
