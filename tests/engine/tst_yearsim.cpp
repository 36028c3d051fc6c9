// A year and more of running, tick by tick: the engine with a fake clock in a real time zone,
// both timers driven at their own periods, and an oracle written from the rules (not from the
// engine) that predicts every box. Daylight-saving changes, a leap day, a clock set back by a
// day and suspend gaps of eight hours without ticks are all on the way.
#include "DateText.h"
#include "Fakes.h"
#include "MessageFile.h"
#include "ProgramFolder.h"
#include "StartupAndRoutines.h"
#include "TempProgramFolder.h"
#include "YearSimOracle.h"

#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QSet>
#include <QTest>
#include <QTimeZone>
#include <optional>

using namespace tavrel;
using namespace tavrel::test;

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
        for (const Message& m : messages) {
            const QString none = DateText::ampmTime(QTime(0, 0));
            WriteMessageFile(folder.file(m.description + QStringLiteral(".tvr")),
                             {dates.shortDate(m.finalDate), m.text, QString::number(m.daysPrior),
                              dates.shortDate(m.priorDate),
                              m.start ? DateText::ampmTime(*m.start) : none,
                              m.start ? DateText::ampmTime(m.end) : none});
        }
        for (const QString& name : ListMessageFiles(folder.path()))
            filesBefore += folder.read(name);

        // Wall time = monotonic time + offset; the offset moves at a suspend (+8 h) and when
        // the clock is set back (-24 h). Timers run on monotonic time.
        const qint64 startUtc = QDateTime(kFirstDay, QTime(9, 0), tz).toMSecsSinceEpoch();
        qint64 mono = 0;
        qint64 wallOffset = startUtc;
        FakeClock clock;
        auto wall = [&] {
            return QDateTime::fromMSecsSinceEpoch(mono + wallOffset, tz);
        };
        clock.set(wall());

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

        QList<qint64> suspendsAt;
        for (int d : kSuspendDays)
            suspendsAt.append(
                QDateTime(kFirstDay.addDays(d), QTime(22, 30), tz).toMSecsSinceEpoch());
        const qint64 setBackAt =
            QDateTime(kFirstDay.addDays(kSetBackDay), QTime(15, 0), tz).toMSecsSinceEpoch();
        bool setBackDone = false;

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
            if (!suspendsAt.isEmpty() && wallMs >= suspendsAt.first()) {
                // Asleep from here: no tick for eight hours, then the clock shows the later time.
                wallOffset += 8 * kHourMs;
                suspendsAt.removeFirst();
            }
            if (!setBackDone && wallMs >= setBackAt) {
                wallOffset -= 24 * kHourMs;
                setBackDone = true;
            }
            clock.set(wall());
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
                if (engine.TimerNewDay_Timer(lblHIDDENdateTODAY))
                    lblHIDDENdateTODAY = dates.shortDate(clock.today());
                if (newDayTicks >= 30) {
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
            // The message timer follows the engine's switch: a fresh start after it was off.
            QCOMPARE(window.timerOn, oracle.timerOn());
            if (!window.timerOn)
                nextMessage = -1;
            else if (window.restarted || nextMessage < 0)
                nextMessage = mono + kMessagePeriodMs;
            window.restarted = false;
        }
        QVERIFY(compare("end"));
        QVERIFY(setBackDone);
        QVERIFY(suspendsAt.isEmpty());

        // Every message due on a day the program ran through was shown at least once.
        int shownMessages = 0;
        int lostInSleep = 0;
        for (const Message& m : messages) {
            const bool inRun =
                m.finalDate >= kFirstDay && m.finalDate < kFirstDay.addDays(kDays - 1);
            bool shown = false;
            for (const Box& b : dialogs.boxes)
                shown = shown || b.text == m.text || b.text.startsWith(m.text + kCrLf + kCrLf);
            // By the rules a window that lies wholly inside a suspend gap is lost: after waking,
            // the timer's entry is not between the last check (before the sleep) and the tick,
            // and the next change of day deletes the timer file. No missed-message question
            // comes either. This is what the program does; the case is counted, not hidden.
            const bool slept = m.start && kSuspendDays.contains(kFirstDay.daysTo(m.finalDate)) &&
                               *m.start >= QTime(22, 30);
            if (inRun && slept && !shown)
                ++lostInSleep;
            else if (inRun && !shown)
                QFAIL(qPrintable(m.description + QStringLiteral(" never shown")));
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
              "%d of %d messages shown, %d lost in a suspend gap, %lld ms",
              zone.constData(), ticks, qint64(dialogs.boxes.size()), timedShown, qint64(prompts),
              shownMessages, kMessages, lostInSleep, elapsed.elapsed());
        QCOMPARE(lostInSleep, 1);
        // The set-back day's message: its timer entry recurs on the day before, within the
        // half hour before the daily routine notices the earlier date.
        qsizetype setBackShows = 0;
        for (const Box& b : dialogs.boxes)
            setBackShows += b.text == messages.at(14).text ? 1 : 0;
        qInfo("message due on the set-back day shown %lld times by the message timer",
              qint64(setBackShows));
    }
};

QTEST_GUILESS_MAIN(TestYearSimulation)
#include "tst_yearsim.moc"
