#pragma once

#include "DateText.h"
#include "Fakes.h"
#include "ProgramError.h"
#include "StartupAndRoutines.h"
#include "TempProgramFolder.h"

#include <QLocale>
#include <QStringList>

namespace tavrel::test {

// A program folder, fakes for every service and an engine wired to them. Dates are written
// "d-M-yyyy", as a day-month-year system would.
struct EngineRig {
    explicit EngineRig(QTime time = QTime(10, 0), bool enterFolder = true)
        : folder(enterFolder), clock(QDateTime(QDate(2026, 12, 7), time)) {}

    TempProgramFolder folder;
    EventLog log;
    FakeClock clock;
    FakeDialogs dialogs{&log};
    FakeSound sound{&log};
    RecordingMainWindow window{&log};
    DateText dates{QLocale::c(), QStringLiteral("d-M-yyyy")};
    int loads = 0;
    int ends = 0;
    // When set, loading the main window fails with this error.
    int failLoadWith = 0;
    QString failLoadDescription;

    StartupAndRoutines engine{clock,
                              dialogs,
                              sound,
                              dates,
                              folder.path(),
                              [this]() -> MainWindowPort& {
                                  ++loads;
                                  if (failLoadWith != 0)
                                      throw ProgramError(failLoadWith, failLoadDescription);
                                  return window;
                              },
                              [this] {
                                  ++ends;
                              }};

    QString day(int offset) const { return dates.shortDate(clock.today().addDays(offset)); }

    // One message file, bytes as the program writes them.
    void message(const QString& description, const QString& finalDate, const QString& text,
                 const QString& daysPrior, const QString& priorDate,
                 const QString& start = QStringLiteral("12:00:00 am"),
                 const QString& end = QStringLiteral("12:00:00 am")) const {
        const QStringList fields{finalDate, text, daysPrior, priorDate, start, end};
        folder.write(
            description + QStringLiteral(".tvr"),
            (QLatin1Char('"') + fields.join(QStringLiteral("\",\"")) + QStringLiteral("\"\r\n"))
                .toUtf8());
    }
    // A message due `offset` days from today, without days prior.
    void due(const QString& description, int offset, const QString& text,
             const QString& start = QStringLiteral("12:00:00 am"),
             const QString& end = QStringLiteral("12:00:00 am")) const {
        message(description, day(offset), text, QStringLiteral("0"), day(offset), start, end);
    }

    void at(int h, int m, int s = 0) { clock.set(clock.today(), QTime(h, m, s)); }
    void onDay(int dayOfMonth, QTime time = QTime(0, 20)) {
        clock.set(QDate(2026, 12, dayOfMonth), time);
    }

    QStringList texts() const {
        QStringList out;
        for (const ShownBox& b : dialogs.boxes)
            out.append(b.text);
        return out;
    }
    QStringList titles() const {
        QStringList out;
        for (const ShownBox& b : dialogs.boxes)
            out.append(b.title);
        return out;
    }
};

inline QString dueBoxText(const QString& text, const QString& finalDate) {
    return text + QStringLiteral("\r\n\r\n[ Final message: ") + finalDate + QStringLiteral(" ]");
}

inline const QString kDueTitle = QStringLiteral("Tavrel has a message for you:");
inline const QString kCorruptedText = QStringLiteral(
    "Tavrel found one or more corrupted messages.\r\nPlease delete any .tvr file(s) in the "
    "Tavrel program folder and run Tavrel again.");
inline const QString kInvalidShortcutText =
    QStringLiteral("The Tavrel shortcut seems to be invalid.\r\nPlease create a new shortcut to "
                   "the actual Tavrel executable (see the Tavrel program folder) and run Tavrel "
                   "again.");
// The generic error box, spelled out rather than built with GenericErrorText.
inline QString genericText(const QString& codeAndDescription, const QString& routine) {
    return QStringLiteral("An Error was generated:\r\n\r\nDescription:\r\nError ") +
           codeAndDescription + QStringLiteral("\r\n") + routine +
           QStringLiteral("\r\n\r\nPlease inform the author with the error description above.");
}

} // namespace tavrel::test
