#pragma once

#include "ComposerDialogs.h"

#include <memory>

namespace tavrel {

class StartupAndRoutines;
class frmCalendar;
class frmmain;

// The composer's dialogs as the program shows them: the date picker (created on first use and
// kept, so it remembers where it was), the optional time dialog and the about box (loaded
// afresh on each opening).
class QtComposerDialogs final : public ComposerDialogs {
public:
    explicit QtComposerDialogs(StartupAndRoutines& engine);
    ~QtComposerDialogs() override;
    Q_DISABLE_COPY_MOVE(QtComposerDialogs)

    // The window whose fields the dialogs read and write; set once it exists.
    void setWindow(frmmain* window) { m_window = window; }

    std::optional<QDate> GetDate(QDate userdate, const QString& title) override;
    void ShowOptionalTime() override;
    bool AboutVisible() const override { return m_aboutOpen; }
    void ShowAbout() override;

    frmCalendar* calendar() const { return m_calendar.get(); }

private:
    StartupAndRoutines& m_engine;
    frmmain* m_window = nullptr;
    std::unique_ptr<frmCalendar> m_calendar;
    bool m_aboutOpen = false;
};

} // namespace tavrel
