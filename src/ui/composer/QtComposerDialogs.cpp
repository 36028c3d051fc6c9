#include "QtComposerDialogs.h"

#include "ComposerLineEdit.h"
#include "FlagScope.h"
#include "MessageTextEdit.h"
#include "StartupAndRoutines.h"
#include "UpDown.h"
#include "frmCalendar.h"
#include "frmOptional.h"
#include "frmabout.h"
#include "frmmain.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>

namespace tavrel {

QtComposerDialogs::QtComposerDialogs(StartupAndRoutines& engine) : m_engine(engine) {}

QtComposerDialogs::~QtComposerDialogs() = default;

std::optional<QDate> QtComposerDialogs::GetDate(QDate userdate, const QString& title) {
    if (!m_calendar) {
        m_calendar = std::make_unique<frmCalendar>(m_engine.clock(), m_engine.dialogs(),
                                                   m_engine.dates(), [this] {
                                                       if (m_window)
                                                           m_window->UpDownprior->setFocus();
                                                   });
    }
    QDate date = userdate;
    const bool accepted =
        m_calendar->GetDate(date, title.isEmpty() ? std::nullopt : std::optional<QString>(title));
    return accepted ? std::optional<QDate>(date) : std::nullopt;
}

void QtComposerDialogs::ShowOptionalTime() {
    if (!m_window)
        return;
    frmmain* w = m_window;
    TimeWindowLink link{w->cboSavedmessages->currentText(),
                        w->txtMessageName->text(),
                        w->txtmessage->fileText(),
                        w->txtDaysprior->text(),
                        w->lblchoosendate->text(),
                        w->lblchoosenpriordate,
                        [w](const QString& start, const QString& end) {
                            w->lblHIDDENstart = start;
                            w->lblHIDDENeinde = end;
                        },
                        [w] {
                            w->cmdOptional->setEnabled(false);
                            w->cmdSaveMessage->setFocus();
                        }};
    frmOptional::ShowModal(m_engine.clock(), m_engine.dialogs(), m_engine.dates(),
                           m_engine.ProgramFolder(), m_engine.CurrentMessage, std::move(link));
}

void QtComposerDialogs::ShowAbout() {
    const FlagScope open(m_aboutOpen);
    frmmain* w = m_window;
    frmabout::ShowModal(m_engine.clock(), [w] {
        // Minimising maps a hidden window: one that is not in sight stays hidden.
        if (w && w->isVisible())
            w->showMinimized();
    });
}

} // namespace tavrel
