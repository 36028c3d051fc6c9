#include "MonthGrid.h"

#include <QTest>
#include <cmath>
#include <limits>

using namespace tavrel;

class tst_MonthGrid : public QObject {
    Q_OBJECT
private slots:
    void cellOfDay_data();
    void cellOfDay();
    void cellSize_data();
    void cellSize();
    void hitTest_data();
    void hitTest();
    void steps_data();
    void steps();
};

void tst_MonthGrid::cellOfDay_data() {
    QTest::addColumn<QDate>("date");
    QTest::addColumn<int>("column");
    QTest::addColumn<int>("row");

    QTest::newRow("begins on a Sunday: day 1") << QDate(2026, 11, 1) << 0 << 0;
    QTest::newRow("begins on a Saturday: day 1") << QDate(2026, 8, 1) << 6 << 0;
    QTest::newRow("begins on a Saturday: day 2 wraps") << QDate(2026, 8, 2) << 0 << 1;
    QTest::newRow("31 days from a Saturday: day 31") << QDate(2026, 8, 31) << 1 << 5;
    QTest::newRow("February from a Sunday: day 1") << QDate(2026, 2, 1) << 0 << 0;
    QTest::newRow("February from a Sunday: day 28") << QDate(2026, 2, 28) << 6 << 3;
    QTest::newRow("begins on a Tuesday: day 7") << QDate(2026, 12, 7) << 1 << 1;
    QTest::newRow("leap February from a Tuesday: day 29") << QDate(2028, 2, 29) << 2 << 4;
}

void tst_MonthGrid::cellOfDay() {
    QFETCH(QDate, date);
    QFETCH(int, column);
    QFETCH(int, row);
    const int index = MonthGrid::cellIndex(date);
    QCOMPARE(MonthGrid::column(index), column);
    QCOMPARE(MonthGrid::row(index), row);
    const MonthGrid grid(21, 13);
    QCOMPARE(grid.cellOrigin(index), QPoint(column * 21, row * 13));
    QCOMPARE(grid.frameRect(date), QRect(column * 21, row * 13, 22, 14));
}

void tst_MonthGrid::cellSize_data() {
    QTest::addColumn<double>("width");
    QTest::addColumn<double>("height");
    QTest::addColumn<double>("onePixel");
    QTest::addColumn<int>("cellWidth");
    QTest::addColumn<int>("cellHeight");

    QTest::newRow("picker in pixels, inside its border") << 147.0 << 79.0 << 1.0 << 20 << 13;
    QTest::newRow("picker in pixels, no border") << 149.0 << 81.0 << 1.0 << 21 << 13;
    QTest::newRow("picker in twips") << 2235.0 << 1215.0 << 15.0 << 317 << 200;
    // 146.5 and 78.5 round to the even 146 and 78; 147.5 rounds up to 148.
    QTest::newRow("halves to even, down") << 147.5 << 79.5 << 1.0 << 20 << 13;
    QTest::newRow("halves to even, up") << 148.5 << 79.0 << 1.0 << 21 << 13;
    QTest::newRow("too small for a grid") << 3.0 << 0.0 << 1.0 << 1 << 1;
}

void tst_MonthGrid::cellSize() {
    QFETCH(double, width);
    QFETCH(double, height);
    QFETCH(double, onePixel);
    const MonthGrid grid = MonthGrid::forSurface(width, height, onePixel);
    QTEST(grid.cellWidth(), "cellWidth");
    QTEST(grid.cellHeight(), "cellHeight");
}

void tst_MonthGrid::hitTest_data() {
    QTest::addColumn<QDate>("shown");
    QTest::addColumn<double>("x");
    QTest::addColumn<double>("y");
    QTest::addColumn<int>("day"); // 0: nothing

    const QDate december(2026, 12, 15); // begins on a Tuesday: day 1 in column 2
    const double nan = std::numeric_limits<double>::quiet_NaN();
    QTest::newRow("day 1") << december << 42.0 << 0.0 << 1;
    QTest::newRow("day 1, last point of its cell") << december << 62.4 << 12.4 << 1;
    QTest::newRow("41.5 rounds to the even 42") << december << 41.5 << 5.0 << 1;
    QTest::newRow("41.4 rounds to 41: empty cell") << december << 41.4 << 5.0 << 0;
    QTest::newRow("20.5 rounds to the even 20: empty cell") << december << 20.5 << 5.0 << 0;
    QTest::newRow("day 31") << december << 4 * 21.0 + 3 << 4 * 13.0 + 3 << 31;
    QTest::newRow("empty cell after the last day") << december << 5 * 21.0 << 4 * 13.0 << 0;
    QTest::newRow("empty last row") << december << 0.0 << 5 * 13.0 << 0;
    QTest::newRow("strip right of the grid") << december << 147.0 << 0.0 << 0;
    QTest::newRow("strip below the grid") << december << 30.0 << 78.0 << 0;
    QTest::newRow("left of the grid") << december << -1.0 << 0.0 << 0;
    QTest::newRow("not a number") << december << nan << 0.0 << 0;
    QTest::newRow("far away") << december << 1e300 << 1e300 << 0;
    QTest::newRow("February from a Sunday: day 28")
        << QDate(2026, 2, 1) << 6 * 21.0 << 3 * 13.0 << 28;
}

void tst_MonthGrid::hitTest() {
    QFETCH(QDate, shown);
    QFETCH(double, x);
    QFETCH(double, y);
    QFETCH(int, day);
    const QDate hit = MonthGrid(21, 13).dayAt(shown, x, y);
    if (day == 0) {
        QVERIFY2(!hit.isValid(), qPrintable(hit.toString(Qt::ISODate)));
    } else {
        QCOMPARE(hit, QDate(shown.year(), shown.month(), day));
    }
}

void tst_MonthGrid::steps_data() {
    QTest::addColumn<QDate>("from");
    QTest::addColumn<int>("days");
    QTest::addColumn<int>("months");
    QTest::addColumn<QDate>("to");

    QTest::newRow("31 January + 1 month") << QDate(2027, 1, 31) << 0 << 1 << QDate(2027, 2, 28);
    QTest::newRow("31 March - 1 month") << QDate(2027, 3, 31) << 0 << -1 << QDate(2027, 2, 28);
    QTest::newRow("leap year keeps the 29th") << QDate(2028, 1, 31) << 0 << 1 << QDate(2028, 2, 29);
    QTest::newRow("month across the year") << QDate(2026, 12, 15) << 0 << 1 << QDate(2027, 1, 15);
    QTest::newRow("28th of a 30-day month + 1 week")
        << QDate(2027, 4, 28) << 7 << 0 << QDate(2027, 5, 5);
    QTest::newRow("last day + 1") << QDate(9999, 12, 31) << 1 << 0 << QDate(9999, 12, 31);
    QTest::newRow("a week past the last day")
        << QDate(9999, 12, 28) << 7 << 0 << QDate(9999, 12, 31);
    QTest::newRow("a month past the last month")
        << QDate(9999, 12, 15) << 0 << 1 << QDate(9999, 12, 31);
    QTest::newRow("a week before the first day") << QDate(100, 1, 3) << -7 << 0 << QDate(100, 1, 1);
    QTest::newRow("a month before the first month")
        << QDate(100, 1, 15) << 0 << -1 << QDate(100, 1, 1);
    QTest::newRow("last month - 1") << QDate(9999, 12, 31) << 0 << -1 << QDate(9999, 11, 30);
}

void tst_MonthGrid::steps() {
    QFETCH(QDate, from);
    QFETCH(int, days);
    QFETCH(int, months);
    const QDate to = months != 0 ? AddMonthsClamped(from, months) : AddDaysClamped(from, days);
    QTEST(to, "to");
}

QTEST_GUILESS_MAIN(tst_MonthGrid)
#include "tst_monthgrid.moc"
