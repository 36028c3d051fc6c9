// A year and more of running, tick by tick: the engine with a fake clock in a real time zone,
// both timers driven at their own periods, a simulated user and another program changing the
// files, and an oracle that judges every box from the files and the clock alone. Daylight-saving
// changes, a leap day, sleeps within a day, across one and over a weekend, the clock set back an
// hour, a day and across midnight, and boxes left open past midnight are all on the way.
#include "DateText.h"
#include "TempProgramFolder.h"
#include "YearSimOpenBoxes.h"
#include "YearSimOracle.h"

#include <QElapsedTimer>
#include <QTest>
#include <QTimeZone>

using namespace tavrel;
using namespace tavrel::test;

namespace {

using Jump = YearRun::Jump;

QList<Jump> fixedJumps(const QTimeZone& tz) {
    QList<Jump> jumps;
    const auto at = [&tz](QDate day, QTime time) {
        return QDateTime(day, time, tz).toMSecsSinceEpoch();
    };
    const auto shiftAt = [&](int day, QTime time, qint64 shift, qint64 backIn = 0) {
        jumps.append({at(kFirstDay.addDays(day), time), shift, 0, backIn});
    };
    for (int d : kSuspendDays)
        shiftAt(d, QTime(22, 30), 8 * kHourMs);
    for (int d : kDaySleepDays)
        shiftAt(d, QTime(13, 0), 4 * kHourMs);
    shiftAt(kSetBackHourDay, QTime(10, 30), -kHourMs);
    shiftAt(kSetBackDay, QTime(15, 0), -24 * kHourMs);
    shiftAt(kBackOverMidnightDay, QTime(0, 15), -45 * kMinuteMs);
    shiftAt(kBackAndForwardDay, QTime(0, 10), -30 * kMinuteMs, 10 * kMinuteMs);
    const QDate slept = kFirstDay.addDays(kSleepOverDay);
    jumps.append({at(slept, QTime(22, 30)), 0, at(slept.addDays(2), QTime(7, 0))});
    const QDate late = kFirstDay.addDays(kWakeLateDay);
    jumps.append({at(late, QTime(20, 0)), 0, at(late.addDays(1), QTime(23, 50))});
    const QDate friday = weekendFriday();
    jumps.append({at(friday, QTime(19, 0)), 0, at(friday.addDays(3), QTime(8, 0))});
    return jumps;
}

// Which box first shows each text (-1: none), and how many do.
QList<qsizetype> firstShown(const QList<Box>& boxes, const QStringList& texts, QList<int>* times) {
    QList<qsizetype> first;
    for (const QString& text : texts) {
        qsizetype at = -1;
        int n = 0;
        for (qsizetype i = 0; i < boxes.size(); ++i) {
            const QString& t = boxes.at(i).text;
            if (t == text || t.startsWith(text + kCrLf + kCrLf)) {
                at = at < 0 ? i : at;
                ++n;
            }
        }
        first.append(at);
        times->append(n);
    }
    return first;
}

} // namespace

class TestYearSimulation : public QObject {
    Q_OBJECT
private slots:
    void year_data() {
        QTest::addColumn<QByteArray>("zone");
        QTest::addColumn<quint32>("seed");
        QTest::addColumn<bool>("holdBoxes");
        for (const bool hold : {false, true}) {
            const char* user = hold ? "boxes left open" : "boxes answered";
            QTest::addRow("Europe/Amsterdam, %s", user)
                << QByteArray("Europe/Amsterdam") << 20261207u << hold;
            QTest::addRow("America/New_York, %s", user)
                << QByteArray("America/New_York") << 20261208u << hold;
        }
    }
    void year() {
        QFETCH(QByteArray, zone);
        QFETCH(quint32, seed);
        QFETCH(bool, holdBoxes);
        const QTimeZone tz(zone);
        QVERIFY(tz.isValid());
        QElapsedTimer elapsed;
        elapsed.start();
        TempProgramFolder folder;
        const DateText dates(QLocale::c(), QStringLiteral("d-M-yyyy"));
        const QList<Message> messages = makeMessages(seed);

        QList<Jump> jumps = fixedJumps(tz);
        if (holdBoxes) {
            // Sleeps that wake exactly in a window's start minute, and in its end minute, which
            // still belongs to the window.
            int n = 0;
            for (const Message& m : messages) {
                if (!m.start || m.finalDate <= kFirstDay || m.finalDate >= kFirstDay.addDays(kDays))
                    continue;
                const bool atEnd = ++n % 2 == 0;
                const qint64 wake = QDateTime(m.finalDate, atEnd ? m.end.addSecs(30) : *m.start, tz)
                                        .toMSecsSinceEpoch();
                jumps.append({wake - 2 * kHourMs, 0, wake});
            }
        }

        YearRun run(messages, folder.path(), dates, tz, seed, jumps, holdBoxes);
        const YearCount y = run.run(QDateTime(kFirstDay, QTime(9, 0), tz).toMSecsSinceEpoch(),
                                    qint64(kDays) * 24 * kHourMs);
        const RunCount& c = run.count;
        qInfo("%s: %d reminders owed, %d presented (%d the rules left open); %d lost, %d doubled, "
              "%d wrong, %d late, %d out of order, %d stacked, %d errors",
              QTest::currentDataTag(), y.owed, y.presented, y.optionalShown, y.lost, y.doubled,
              y.wrong, y.late, y.outOfOrder, c.stacked, c.errors);
        qInfo("  %d boxes (longest %d min, %d reminders open across midnight); %d sleeps (%d over "
              "whole days), %d clock changes back, %d daylight-saving changes; inside boxes %d new "
              "days, %d sleeps or clock changes, %d tray actions",
              c.boxes, c.longest, c.boxesOverMidnight, c.sleeps, c.sleepsOverDays, c.clockBack,
              c.offsetChanges, c.newDaysInBoxes, c.jumpsInBoxes, c.trayInBoxes);
        qInfo("  files: %d rewritten and %d deleted on disk, %d saved and %d deleted in the "
              "composer; %d timer files and %d status reports compared, %d differed; %lld ms",
              c.diskRewrites, c.diskDeletes, c.saves, c.composerDeletes, c.timerFileChecks,
              c.statusChecks, c.viewMismatches, elapsed.elapsed());
        for (const QString& complaint : run.complaints())
            qWarning("%s", qPrintable(complaint));
        QCOMPARE(y.lost, 0);
        QCOMPARE(y.doubled, 0);
        QCOMPARE(y.wrong, 0);
        QCOMPARE(y.late, 0);
        QCOMPARE(y.outOfOrder, 0);
        QCOMPARE(c.stacked, 0);
        QCOMPARE(c.errors, 0);
        QCOMPARE(c.viewMismatches, 0);

        // The year did hold what it is meant to.
        QVERIFY(y.owed > 250);
        QVERIFY(c.sleepsOverDays >= 2);
        QVERIFY(c.boxesOverMidnight > 0);
        QVERIFY(c.clockBack >= 4);
        QCOMPARE(c.offsetChanges, 2);
        QVERIFY(c.diskRewrites > 0 && c.diskDeletes > 0 && c.saves > 0 && c.composerDeletes > 0);
        QVERIFY(c.timerFileChecks > 1000 && c.statusChecks > 10);
        if (holdBoxes) {
            QVERIFY(c.longest >= 6 * 60);
            QVERIFY(c.newDaysInBoxes > 0 && c.jumpsInBoxes > 0 && c.trayInBoxes > 0);
        }

        // The fixed cases came up once each, day by day: the box held past midnight, then the
        // second window of its evening, then the next day's; the day slept through; Saturday's,
        // Sunday's and Monday's after a weekend asleep; a day the clock went back over.
        QList<int> times;
        const QList<qsizetype> first = firstShown(
            run.boxes(),
            {messages.at(29).text, messages.at(30).text, messages.at(31).text, messages.at(24).text,
             messages.at(25).text, messages.at(26).text, messages.at(27).text, messages.at(28).text,
             messages.at(32).text, messages.at(33).text, messages.at(34).text, messages.at(35).text,
             messages.at(36).text, messages.at(37).text},
            &times);
        QCOMPARE(times, QList<int>(14, 1));
        QVERIFY(first.at(0) < first.at(1) && first.at(1) < first.at(2));
        QVERIFY(first.at(5) < first.at(6) && first.at(6) < first.at(7));
        QVERIFY(first.at(12) < first.at(13));
    }
};

QTEST_GUILESS_MAIN(TestYearSimulation)
#include "tst_yearsim.moc"
