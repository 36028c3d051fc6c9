#include "TimeListIndex.h"

#include <QTest>

using namespace tavrel;

class tst_TimeListIndex : public QObject {
    Q_OBJECT
private slots:
    void lists();
    void index_data();
    void index();
};

void tst_TimeListIndex::lists() {
    const QStringList start = StartTimeList();
    QCOMPARE(start.size(), 24);
    QCOMPARE(start.first(), QStringLiteral("00:00"));
    QCOMPARE(start.at(9), QStringLiteral("09:00"));
    QCOMPARE(start.last(), QStringLiteral("23:00"));
    const QStringList end = EndTimeList();
    QCOMPARE(end.size(), 25);
    QCOMPARE(end.mid(0, 24), start);
    QCOMPARE(end.at(kEndOfDayPosition), QStringLiteral("23:59"));
}

void tst_TimeListIndex::index_data() {
    QTest::addColumn<QString>("stored");
    QTest::addColumn<int>("position");

    for (int h = 0; h < 12; ++h) {
        const QString hh = QStringLiteral("%1").arg(h, 2, 10, QLatin1Char('0'));
        QTest::addRow("%s am", qPrintable(hh)) << hh + QStringLiteral(":00:00 am") << h;
        QTest::addRow("%s pm", qPrintable(hh)) << hh + QStringLiteral(":00:00 pm") << h + 12;
    }
    QTest::newRow("noon") << QStringLiteral("12:00:00 pm") << 12;
    QTest::newRow("11:59 am") << QStringLiteral("11:59:00 am") << 24;
    QTest::newRow("11:59 pm") << QStringLiteral("11:59:00 pm") << 24;
    QTest::newRow("midnight as files write it") << QStringLiteral("12:00:00 am") << 0;
    QTest::newRow("half hour") << QStringLiteral("02:30:00 pm") << 0;
    QTest::newRow("upper case") << QStringLiteral("02:00:00 PM") << 0;
    QTest::newRow("24-hour text") << QStringLiteral("14:00:00") << 0;
    QTest::newRow("trailing blank") << QStringLiteral("02:00:00 pm ") << 0;
    QTest::newRow("empty") << QString() << 0;
}

void tst_TimeListIndex::index() {
    QFETCH(QString, stored);
    QTEST(TimeListIndex(stored), "position");
}

QTEST_GUILESS_MAIN(tst_TimeListIndex)
#include "tst_timelistindex.moc"
