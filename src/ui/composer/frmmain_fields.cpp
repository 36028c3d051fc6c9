// frmmain: the small handlers that keep fields and buttons in step, and the days-prior label.
#include "frmmain.h"

#include "ComposerDialogs.h"
#include "ComposerLineEdit.h"
#include "DateText.h"
#include "MessageTextEdit.h"
#include "PriorDay.h"
#include "ProgramError.h"
#include "SelectActiveText.h"
#include "StartupAndRoutines.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>

namespace tavrel {

void frmmain::actionPrior() {
    try {
        m_engine.CurrentMessage.daysPrior = txtDaysprior->text();
        const PriorDay prior =
            ComputePriorDay(lblchoosendate->text(), txtDaysprior->text(), m_engine.dates());
        lblchoosenpriordate = prior.lblchoosenpriordate;
        QFont font = lblDaysprior->font();
        font.setItalic(prior.showsWords);
        lblDaysprior->setFont(font);
        lblDaysprior->setText(prior.lblDaysprior);
        applyTextColours();
    } catch (const ProgramError& error) {
        showError(error, QStringLiteral("actionPrior"));
    }
}

void frmmain::cmdcalendar_Click() {
    QDate due;
    try {
        due = m_engine.dates().parseDate(lblchoosendate->text());
    } catch (const ProgramError& error) {
        showError(error, QStringLiteral("cmdcalendar_Click"));
        return;
    }
    if (const std::optional<QDate> picked = m_dialogs.GetDate(due, QString()))
        lblchoosendate->setText(m_engine.dates().shortDate(*picked));
    actionPrior();
}

void frmmain::cmdOptional_Click() {
    txtDaysprior->setFocus();
    try {
        m_dialogs.ShowOptionalTime();
    } catch (const ProgramError&) {
    }
}

void frmmain::txtMessageName_GotFocus() {
    if (txtMessageName->text() == kPlaceholder)
        SelectActiveText(this);
}

void frmmain::txtmessage_GotFocus() {
    if (txtmessage->toPlainText() == kPlaceholder)
        SelectActiveText(this);
}

// Any typing discards a chosen time window: it is chosen after the text is complete.
void frmmain::txtMessageName_KeyUp() {
    cmdSaveMessage->setEnabled(true);
    cmdOptional->setEnabled(true);
    lblHIDDENstart = kNoTime;
    lblHIDDENeinde = kNoTime;
}

void frmmain::txtmessage_KeyUp() {
    txtMessageName_KeyUp();
}

void frmmain::cboSavedmessages_Change() {
    cmdEdit->setEnabled(true);
}

void frmmain::cboSavedmessages_Click() {
    writeComboItem();
    cmdEdit_Click();
}

void frmmain::selectSavedMessage(int index) {
    cboSavedmessages->setCurrentIndex(index);
    cboSavedmessages_Click();
}

void frmmain::UpDownprior_Change() {
    actionPrior();
}

void frmmain::lblDaysprior_MouseMove() {
    lblDaysprior->setToolTip(QLatin1Char(' ') + lblDaysprior->text() + QLatin1Char(' '));
}

} // namespace tavrel
