// A year and more of running, tick by tick: the engine with a fake clock in a real time zone,
// both timers driven at their own periods, and an oracle written from the rules (not from the
// engine) that predicts every box. Daylight-saving changes, a leap day, the clock set back by an
// hour and by a day, and suspend gaps without ticks (across midnight and within a day) are all
// on the way.
#include "DateText.h"
#include "Fakes.h"
#include "MessageFile.h"
#include "ProgramFolder.h"
#include "StartupAndRoutines.h"
#include "TempProgramFolder.h"
#include "YearSimOpenBoxes.h"
#include "YearSimOracle.h"

#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QSet>
#include <QTest>
#include <QTimeZone>
#include <algorithm>
#include <optional>

using namespace tavrel;
using namespace tavrel::test;

namespace {

void writeFiles(const TempProgramFolder& folder, const DateText& dates,
                const QList<Message>& messages) {
    const QString none = DateText::ampmTime(QTime(0, 0));
    for (const Message& m : messages) {
        WriteMessageFile(folder.file(m.description + QStringLiteral(".tvr")),
                         {dates.shortDate(m.finalDate), m.text, QString::number(m.daysPrior),
                          dates.shortDate(m.priorDate),
                          m.start ? DateText::ampmTime(*m.start) : none,
                          m.start ? DateText::ampmTime(m.end) : none});
    }
}

using Jump = OpenBoxRun::Jump;

// Suspends across midnight and within a day, the clock set back an hour and a day.
QList<Jump> fixedJumps(const QTimeZone& tz) {
    QList<Jump> jumps;
    auto jumpAt = [&](int day, QTime time, qint64 shift) {
        jumps.append({QDateTime(kFirstDay.addDays(day), time, tz).toMSecsSinceEpoch(), shift, 0});
    };
    for (int d : kSuspendDays)
        jumpAt(d, QTime(22, 30), 8 * kHourMs);
    for (int d : kDaySleepDays)
        jumpAt(d, QTime(13, 0), 4 * kHourMs);
    jumpAt(kSetBackHourDay, QTime(10, 30), -kHourMs);
    jumpAt(kSetBackDay, QTime(15, 0), -24 * kHourMs);
    return jumps;
}

} // namespace

class TestYearSimulation : public QObject {
    Q_OBJECT
private slots:
    void year_data() {
        QTest::addColumn<QByteArray>("zone");
        QTest::addColumn<quint32>("seed");
        QTest::newRow("Europe/Amsterdam") << QByteArray("Europe/Amsterdam") << 20261207u;
        QTest::newRow("America/New_York") << QByteArray("America/New_York") << 20261208u;
    }
    void year() {
        QFETCH(QByteArray, zone);
        QFETCH(quint32, seed);
        const QTimeZone tz(zone);
        QVERIFY(tz.isValid());
        QElapsedTimer elapsed;
        elapsed.start();

        TempProgramFolder folder;
        const DateText dates(QLocale::c(), QStringLiteral("d-M-yyyy"));
        const QList<Message> messages = makeMessages(seed);
        QByteArray filesBefore;
        writeFiles(folder, dates, messages);
        for (const QString& name : ListMessageFiles(folder.path()))
            filesBefore += folder.read(name);

        // Wall time = monotonic time + offset; the offset moves at a suspend (+8 h, +4 h) and
        // when the clock is set back (-1 h, -24 h). Timers run on monotonic time.
        const qint64 startUtc = QDateTime(kFirstDay, QTime(9, 0), tz).toMSecsSinceEpoch();
        qint64 mono = 0;
        qint64 wallOffset = startUtc;
        FakeClock clock;
        auto wall = [&] {
            return QDateTime::fromMSecsSinceEpoch(mono + wallOffset, tz);
        };
        clock.setReading(wall(), mono);

        SimDialogs dialogs;
        FakeSound sound;
        SimWindow window;
        StartupAndRoutines engine(
            clock, dialogs, sound, dates, folder.path(),
            [&window]() -> MainWindowPort& { return window; }, [] { QFAIL("program ended"); });
        Oracle oracle(messages, dates);

        int checked = 0;
        auto compare = [&](const char* what) {
            for (; checked < dialogs.boxes.size() || checked < oracle.expected.size(); ++checked) {
                const Box got = checked < dialogs.boxes.size() ? dialogs.boxes.at(checked) : Box{};
                const Box want =
                    checked < oracle.expected.size() ? oracle.expected.at(checked) : Box{};
                if (got != want) {
                    qWarning("%s at %s: box %d differs\n  got:  %s | %s\n  want: %s | %s", what,
                             qPrintable(clock.now().toString(Qt::ISODate)), checked,
                             qPrintable(got.title), qPrintable(got.text), qPrintable(want.title),
                             qPrintable(want.text));
                    return false;
                }
            }
            return true;
        };

        // Start-up.
        QCOMPARE(engine.Main(false), StartupAndRoutines::MainResult::Running);
        oracle.startUp(clock.now());
        QVERIFY(compare("start-up"));
        QString lblHIDDENdateTODAY = dates.shortDate(clock.today());

        QList<Jump> jumps = fixedJumps(tz);
        std::sort(jumps.begin(), jumps.end(),
                  [](const Jump& a, const Jump& b) { return a.atUtc < b.atUtc; });
        // The steady time of every box, to tell a message shown twice from one shown on two days.
        QList<qint64> boxMono(dialogs.boxes.size(), 0);
        qint64 lastNewDayMono = 0;
        qint64 lastJumpMono = -1; // when the wall clock last jumped, on the steady count

        qint64 nextNewDay = kNewDayPeriodMs;
        qint64 nextMessage = window.timerOn ? kMessagePeriodMs : -1;
        window.restarted = false;
        int newDayTicks = 0; // the oracle's own count and remembered day
        QDate oracleDay = clock.today();
        const qint64 endMono = qint64(kDays) * 24 * kHourMs;
        qint64 ticks = 0;
        qint64 timedShown = 0;
        while (mono < endMono) {
            const bool messageFirst = nextMessage >= 0 && nextMessage <= nextNewDay;
            mono = messageFirst ? nextMessage : nextNewDay;
            const qint64 wallMs = mono + wallOffset;
            if (!jumps.isEmpty() && wallMs >= jumps.first().atUtc) {
                // Asleep from the last tick (no tick meanwhile, the steady count stands still),
                // or the clock set: either way only the wall clock moves.
                wallOffset += jumps.takeFirst().shift;
                lastJumpMono = mono;
            }
            clock.setReading(wall(), mono);
            ++ticks;

            if (messageFirst) {
                QCOMPARE(window.timerOn, oracle.timerOn());
                const qsizetype before = dialogs.boxes.size();
                engine.ShowDueTimedMessages();
                oracle.messageTick(clock.now());
                QVERIFY(compare("TimerMessage"));
                // Nothing shown twice in one tick.
                QSet<QString> seen;
                for (qsizetype i = before; i < dialogs.boxes.size(); ++i) {
                    QVERIFY(!seen.contains(dialogs.boxes.at(i).text));
                    seen.insert(dialogs.boxes.at(i).text);
                }
                timedShown += dialogs.boxes.size() - before;
                nextMessage += kMessagePeriodMs;
            } else {
                if (const std::optional<QDate> ranFor =
                        engine.TimerNewDay_Timer(lblHIDDENdateTODAY))
                    lblHIDDENdateTODAY = dates.shortDate(*ranFor);
                // A jump since the last tick brings the check forward.
                const bool jumped = lastJumpMono > lastNewDayMono;
                lastNewDayMono = mono;
                if (jumped || newDayTicks >= 30) {
                    newDayTicks = 0;
                    if (oracleDay != clock.today()) {
                        oracle.newDay(clock.now());
                        oracleDay = clock.today();
                    }
                } else {
                    ++newDayTicks;
                }
                QVERIFY(compare("TimerNewDay"));
                nextNewDay += kNewDayPeriodMs;
            }
            boxMono.resize(dialogs.boxes.size(), mono);
            // The message timer follows the engine's switch: a fresh start after it was off.
            QCOMPARE(window.timerOn, oracle.timerOn());
            if (!window.timerOn)
                nextMessage = -1;
            else if (window.restarted || nextMessage < 0)
                nextMessage = mono + kMessagePeriodMs;
            window.restarted = false;
        }
        QVERIFY(compare("end"));
        QVERIFY(jumps.isEmpty());

        // Every message due on a day the program ran through was shown at least once (lost
        // otherwise), and none twice within twelve hours of running (doubled): the showings of
        // one message on two of its days lie further apart, also across a sleep.
        int shownMessages = 0;
        int lost = 0;
        int doubled = 0;
        for (const Message& m : messages) {
            const bool inRun =
                m.finalDate >= kFirstDay && m.finalDate < kFirstDay.addDays(kDays - 1);
            qint64 previous = -1;
            bool shown = false;
            for (qsizetype i = 0; i < dialogs.boxes.size(); ++i) {
                const Box& b = dialogs.boxes.at(i);
                if (b.text != m.text && !b.text.startsWith(m.text + kCrLf + kCrLf))
                    continue;
                if (shown && boxMono.at(i) - previous < 12 * kHourMs) {
                    qWarning("%s shown twice, at %lld and %lld ms", qPrintable(m.description),
                             previous, boxMono.at(i));
                    ++doubled;
                }
                shown = true;
                previous = boxMono.at(i);
            }
            if (inRun && !shown) {
                qWarning("%s never shown", qPrintable(m.description));
                ++lost;
            }
            shownMessages += shown ? 1 : 0;
        }
        QByteArray filesAfter;
        for (const QString& name : ListMessageFiles(folder.path()))
            filesAfter += folder.read(name);
        QCOMPARE(filesAfter, filesBefore);
        qsizetype prompts = 0;
        for (const Box& b : dialogs.boxes)
            prompts += b.text.startsWith(QStringLiteral("You had a message")) ? 1 : 0;
        qInfo("%s: %lld ticks, %lld boxes (%lld by the message timer, %lld missed prompts), "
              "%d of %d messages shown, %d lost, %d doubled, %lld ms",
              zone.constData(), ticks, qint64(dialogs.boxes.size()), timedShown, qint64(prompts),
              shownMessages, kMessages, lost, doubled, elapsed.elapsed());
        QCOMPARE(lost, 0);
        QCOMPARE(doubled, 0);
        // The timer entry of the day the clock leaves never comes up on the day it goes back
        // to: the message is shown once, when its own day comes again.
        QCOMPARE(dialogs.boxes.count({kProgramTitle, messages.at(14).text}), 1);
        // Offered as missed: a window inside a sleep within the day, one of the evening before
        // a sleep across midnight, and one of the morning after it. Shown at once on waking:
        // a window that opened during the sleep.
        for (int i : {15, 18, 23})
            QVERIFY2(dialogs.boxes.contains(
                         {kProgramTitle, QStringLiteral("You had a message planned for today at ") +
                                             DateText::ampmTime(*messages.at(i).start) +
                                             QStringLiteral("      \r\nWould you like to see "
                                                            "it now?")}),
                     qPrintable(messages.at(i).description));
        QCOMPARE(dialogs.boxes.count({kProgramTitle, messages.at(19).text}), 1);
        for (int i : {20, 21, 22})
            QCOMPARE(dialogs.boxes.count({kProgramTitle, messages.at(i).text}), 1);
    }

    void boxesLeftOpen_data() { year_data(); }
    void boxesLeftOpen() {
        QFETCH(QByteArray, zone);
        QFETCH(quint32, seed);
        const QTimeZone tz(zone);
        QElapsedTimer elapsed;
        elapsed.start();
        TempProgramFolder folder;
        const DateText dates(QLocale::c(), QStringLiteral("d-M-yyyy"));
        const QList<Message> messages = makeMessages(seed);
        writeFiles(folder, dates, messages);

        // Besides the year's own, sleeps that wake exactly in a window's start minute, and in
        // its end minute, which still belongs to the window.
        QList<Jump> jumps = fixedJumps(tz);
        int n = 0;
        for (const Message& m : messages) {
            if (!m.start || m.finalDate <= kFirstDay || m.finalDate >= kFirstDay.addDays(kDays))
                continue;
            const bool atEnd = ++n % 2 == 0;
            const qint64 wake = QDateTime(m.finalDate, atEnd ? m.end.addSecs(30) : *m.start, tz)
                                    .toMSecsSinceEpoch();
            jumps.append({wake - 2 * kHourMs, 0, wake});
        }
        std::sort(jumps.begin(), jumps.end(),
                  [](const Jump& a, const Jump& b) { return a.atUtc < b.atUtc; });

        OpenBoxRun run(messages, folder.path(), dates, tz, seed, jumps);
        const OpenBoxCount c = run.run(QDateTime(kFirstDay, QTime(9, 0), tz).toMSecsSinceEpoch(),
                                       qint64(kDays) * 24 * kHourMs);
        qInfo("%s, boxes left open: %d boxes (longest %d min), %d presentations; inside boxes "
              "%d new days, %d sleeps or clock changes, %d tray actions; %d lost, %d doubled, "
              "%d wrong, %d stacked, %lld ms",
              zone.constData(), c.boxes, c.longest, c.presentations, c.newDaysInBoxes,
              c.jumpsInBoxes, c.trayInBoxes, c.lost, c.doubled, c.wrong, c.stacked,
              elapsed.elapsed());
        QCOMPARE(c.lost, 0);
        QCOMPARE(c.doubled, 0);
        QCOMPARE(c.wrong, 0);
        QCOMPARE(c.errors, 0);
        QCOMPARE(c.stacked, 0);
        // The run did leave boxes open across what matters.
        QVERIFY(c.longest >= 6 * 60);
        QVERIFY(c.newDaysInBoxes > 0);
        QVERIFY(c.jumpsInBoxes > 0);
        QVERIFY(c.trayInBoxes > 0);
    }
};

QTEST_GUILESS_MAIN(TestYearSimulation)
#include "tst_yearsim.moc"
