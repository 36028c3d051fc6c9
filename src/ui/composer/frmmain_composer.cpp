// frmmain: saving, editing, deleting and resetting a message.
#include "frmmain.h"

#include "Clock.h"
#include "ComposerLineEdit.h"
#include "DateText.h"
#include "Dialogs.h"
#include "MessageFile.h"
#include "MessageTextEdit.h"
#include "ProgramError.h"
#include "ProgramFolder.h"
#include "SaveChecks.h"
#include "SelectActiveText.h"
#include "Sound.h"
#include "StartupAndRoutines.h"
#include "frmOptional.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>

namespace tavrel {

namespace {

const QString kExtension = QStringLiteral(".tvr");

struct TimeStores {
    QString start = kNoTime;
    QString end = kNoTime;
};

// The stored window in the form "&Include" leaves in the time stores; a time that cannot be
// read leaves the message without a window, as the time dialog would show it.
TimeStores storedWindow(const MessageRecord& message, const DateText& dates) {
    try {
        return {frmOptional::TimeStoreText(dates, DateText::parseTime(message.startTime)),
                frmOptional::TimeStoreText(dates, DateText::parseTime(message.endTime))};
    } catch (const ProgramError&) {
        return {};
    }
}

} // namespace

void frmmain::cmdSaveMessage_Click() {
    try {
        const ComposerFields fields{txtMessageName->text(), txtmessage->fileText(),
                                    lblchoosendate->text(), txtDaysprior->text(),
                                    lblDaysprior->text(),   lblchoosenpriordate,
                                    lblHIDDENstart,         lblHIDDENeinde};
        // The record is the save's own: ticks and tray actions that run while one of its boxes
        // is open read other messages into CurrentMessage, or reload the composer.
        const MessageRecord record = FillMessageRecord(fields);
        m_engine.CurrentMessage = record;
        const QDate today = m_engine.clock().today();
        if (const std::optional<SaveRefusal> refusal =
                CheckSave(fields, record, today, m_engine.dates())) {
            m_engine.dialogs().messageBox(refusal->box.text, refusal->box.title,
                                          refusal->box.style);
            if (refusal->openOptionalTime)
                cmdOptional_Click();
            else
                focusAfterRefusal(refusal->focus, refusal->selectText);
            return;
        }

        const QString description = fields.txtMessageName;
        if (FindSavedDescription(listEntries(), description) >= 0) {
            const BoxText question = OverwriteQuestion();
            if (m_engine.dialogs().messageBox(question.text, question.title, question.style) !=
                IDOK) {
                m_engine.overwriteExisting = false;
                return;
            }
            m_engine.overwriteExisting = true;
        }

        m_engine.CurrentMessage = record;
        WriteMessageFile(m_engine.ProgramFolder() + description + kExtension, record);
        // Only now: a failed write leaves the old file, and so its entry, in place.
        const qsizetype existing = FindSavedDescription(listEntries(), description);
        if (existing >= 0)
            cboSavedmessages->removeItem(int(existing));
        cboSavedmessages->addItem(description);
        cboSavedmessages->setCurrentIndex(cboSavedmessages->count() - 1);

        // Judged by the day it is written on: the overwrite question may have stayed open
        // past midnight.
        if (DueOrFirstDayIsToday(record, m_engine.clock().today(), m_engine.dates())) {
            m_engine.CurrentMessage = record;
            m_engine.CheckTimeFor(description + kExtension);
        }
        cmdEdit->setEnabled(true);
        cmdDelete->setEnabled(true);
        cmdSaveMessage->setEnabled(false);
        cmdOptional->setEnabled(false);
        txtMessageName->setFocus();
        m_engine.sound().PlaySoundCue(m_engine.ProgramFolder() + QStringLiteral("Saved.wav"));
        m_engine.RebuildTimerFile();
        m_engine.PresentOwedReminders();
    } catch (const ProgramError& error) {
        showError(error, QStringLiteral("cmdSaveMessage_Click"));
    }
}

QStringList frmmain::listEntries() const {
    QStringList entries;
    for (int i = 0; i < cboSavedmessages->count(); ++i)
        entries.append(cboSavedmessages->itemText(i));
    return entries;
}

void frmmain::focusAfterRefusal(SaveFocus focus, bool selectText) {
    switch (focus) {
    case SaveFocus::txtMessageName:
        txtMessageName->setFocus();
        break;
    case SaveFocus::txtmessage:
        txtmessage->setFocus();
        break;
    case SaveFocus::cmdcalendar:
        cmdcalendar->setFocus();
        break;
    case SaveFocus::txtDaysprior:
        txtDaysprior->setFocus();
        break;
    }
    if (selectText)
        SelectActiveText(this);
}

void frmmain::cmdEdit_Click() {
    const QString description = cboSavedmessages->currentText();
    if (description.isEmpty())
        return;
    try {
        // The fields change only once the whole file has been read.
        ReadMessageFile(m_engine.ProgramFolder() + description + kExtension,
                        m_engine.CurrentMessage);
        txtmessage->setFileText(m_engine.CurrentMessage.messageText);
        lblchoosendate->setText(m_engine.CurrentMessage.finalDate);
        txtMessageName->setText(description);
        txtDaysprior->setText(m_engine.CurrentMessage.daysPrior);
        // Edit then Save without typing keeps the message's window.
        const TimeStores window = storedWindow(m_engine.CurrentMessage, m_engine.dates());
        lblHIDDENstart = window.start;
        lblHIDDENeinde = window.end;
        actionPrior();
        cmdSaveMessage->setEnabled(true);
        cmdOptional->setEnabled(true);
    } catch (const ProgramError& error) {
        showError(error, QStringLiteral("cmdEdit_Click"));
    }
}

void frmmain::clearComposer() {
    showPlaceholder();
    lblchoosendate->setText(todayText());
    txtDaysprior->setText(QStringLiteral("0"));
    actionPrior();
}

void frmmain::cmdDelete_Click() {
    const QString description = cboSavedmessages->currentText();
    if (description.isEmpty())
        return;
    try {
        const int answer = m_engine.dialogs().messageBox(
            QStringLiteral("Are you sure you want to remove ") + description +
                QStringLiteral(" permanently?"),
            QStringLiteral("Destroy..."), MB::OKCANCEL | MB::ICONWARNING);
        if (answer != IDOK)
            return;
        if (!DeleteIfExists(m_engine.ProgramFolder() + description + kExtension))
            throw ProgramError(FileNotFound);
        // By name: "&Show Settings" from the tray, while the question was open, may have
        // selected another entry.
        cboSavedmessages->removeItem(int(FindSavedDescription(listEntries(), description)));
        cboSavedmessages->setCurrentIndex(-1);
        clearComposer();
        cmdSaveMessage->setEnabled(false);
        cmdOptional->setEnabled(false);
        if (cboSavedmessages->count() > 0) {
            selectSavedMessage(0);
            m_engine.RebuildTimerFile();
            m_engine.PresentOwedReminders();
        } else {
            m_engine.DeleteTimerFile();
            cmdDelete->setEnabled(false);
            cmdEdit->setEnabled(false);
        }
    } catch (const ProgramError& error) {
        showError(error, QStringLiteral("cmdDelete_Click"));
    }
}

void frmmain::cmdReset_Click() {
    try {
        clearComposer();
        txtMessageName->setFocus();
        SelectActiveText(this);
    } catch (const ProgramError& error) {
        showError(error, QStringLiteral("cmdReset_Click"));
    }
}

} // namespace tavrel
