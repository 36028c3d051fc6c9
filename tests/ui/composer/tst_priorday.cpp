#include "DateText.h"
#include "PriorDay.h"
#include "ProgramError.h"

#include <QTest>

using namespace tavrel;

class TestPriorDay : public QObject {
    Q_OBJECT
    const DateText m_dates{QLocale(QLocale::English, QLocale::UnitedKingdom)};

private slots:
    void computePriorDay_data() {
        QTest::addColumn<QString>("due");
        QTest::addColumn<QString>("days");
        QTest::addColumn<QString>("firstDay");
        QTest::addColumn<QString>("label");
        QTest::newRow("two days") << "21/08/2026"
                                  << "2"
                                  << "19/08/2026"
                                  << "19/08/2026";
        QTest::newRow("zero") << "21/08/2026"
                              << "0"
                              << "21/08/2026"
                              << "Days prior:";
        QTest::newRow("leap day") << "02/03/2028"
                                  << "2"
                                  << "29/02/2028"
                                  << "29/02/2028";
        QTest::newRow("no leap day") << "02/03/2027"
                                     << "2"
                                     << "28/02/2027"
                                     << "28/02/2027";
        QTest::newRow("previous year") << "10/01/2027"
                                       << "99"
                                       << "03/10/2026"
                                       << "03/10/2026";
        QTest::newRow("new year's eve") << "01/01/2027"
                                        << "1"
                                        << "31/12/2026"
                                        << "31/12/2026";
        QTest::newRow("file date without zeros") << "21/8/2003"
                                                 << "1"
                                                 << "20/08/2003"
                                                 << "20/08/2003";
    }
    void computePriorDay() {
        QFETCH(QString, due);
        QFETCH(QString, days);
        QFETCH(QString, firstDay);
        QFETCH(QString, label);
        const PriorDay p = ComputePriorDay(due, days, m_dates);
        QCOMPARE(p.lblchoosenpriordate, firstDay);
        QCOMPARE(p.lblDaysprior, label);
        QCOMPARE(p.showsWords, days == QLatin1String("0"));
    }

    void unreadableInputIsTypeMismatch_data() {
        QTest::addColumn<QString>("due");
        QTest::addColumn<QString>("days");
        QTest::newRow("due date") << "lblchoosendate"
                                  << "1";
        QTest::newRow("empty due date") << ""
                                        << "0";
        QTest::newRow("days") << "21/08/2026"
                              << "x";
        QTest::newRow("empty days") << "21/08/2026"
                                    << "";
    }
    void unreadableInputIsTypeMismatch() {
        QFETCH(QString, due);
        QFETCH(QString, days);
        try {
            ComputePriorDay(due, days, m_dates);
            QFAIL("no error");
        } catch (const ProgramError& e) {
            QCOMPARE(e.code(), 13);
        }
    }
};

QTEST_GUILESS_MAIN(TestPriorDay)
#include "tst_priorday.moc"
