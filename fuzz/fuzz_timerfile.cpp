// The timer-file reader: any bytes give entries or code 13/62 with the entry being read
// counted; entries the program writes read back the same.
#include "Clock.h"
#include "DateText.h"
#include "Dialogs.h"
#include "FileText.h"
#include "FuzzCheck.h"
#include "ProgramError.h"
#include "Sound.h"
#include "StartupAndRoutines.h"

#include <QByteArray>
#include <cstddef>
#include <cstdint>

using namespace tavrel;

namespace {

struct NoClock final : Clock {
    QDateTime now() const override { return QDateTime(QDate(2026, 12, 7), QTime(10, 0)); }
    qint64 elapsedMSecs() const override { return 0; }
};
struct NoDialogs final : Dialogs {
    int messageBox(const QString&, const QString&, uint32_t) override { return IDOK; }
    void beep() override {}
};
struct NoSound final : SoundPlayer {
    void PlaySoundCue(const QString&) override {}
};
struct NoWindow final : MainWindowPort {
    void addSavedMessage(const QString&) override {}
    void setEditDeleteEnabled(bool) override {}
    void showPlaceholder() override {}
    void showWindow() override {}
    void setTimerMessageEnabled(bool) override {}
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static NoClock clock;
    static NoDialogs dialogs;
    static NoSound sound;
    static NoWindow window;
    static const DateText dates(QLocale::c(), QStringLiteral("d-M-yyyy"));
    StartupAndRoutines engine(
        clock, dialogs, sound, dates, QStringLiteral("/nonexistent/"),
        []() -> MainWindowPort& { return window; }, [] {});

    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    try {
        engine.parseTimerFile(bytes);
    } catch (const ProgramError& e) {
        FUZZ_CHECK(e.code() == TypeMismatch || e.code() == InputPastEndOfFile);
        FUZZ_CHECK(engine.timerEntryCount >= 1);
        FUZZ_CHECK(engine.timerEntryCount <= engine.timerEntries.size());
        return 0;
    }
    FUZZ_CHECK(engine.timerEntryCount == engine.timerEntries.size());
    QByteArray again;
    for (int i = 0; i < engine.timerEntryCount; ++i) {
        const StartupAndRoutines::TimerEntry& e = engine.timerEntries.at(i);
        FUZZ_CHECK(e.time.isValid());
        // A text read without quotes may hold one, which the format cannot write back.
        if (e.text.contains(QLatin1Char('"')))
            return 0;
        again += EncodeFileText(QLatin1Char('#') + DateText::ampmTime(e.time) +
                                QStringLiteral("#, \"") + e.text + QStringLiteral("\"\r\n"));
    }
    const QList<StartupAndRoutines::TimerEntry> first = engine.timerEntries;
    const int count = engine.timerEntryCount;
    engine.parseTimerFile(again);
    FUZZ_CHECK(engine.timerEntryCount == count);
    for (int i = 0; i < count; ++i) {
        FUZZ_CHECK(engine.timerEntries.at(i).time == first.at(i).time);
        FUZZ_CHECK(engine.timerEntries.at(i).text == first.at(i).text);
    }
    return 0;
}
