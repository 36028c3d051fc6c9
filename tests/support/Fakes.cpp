#include "Fakes.h"

#include <QFileInfo>

namespace tavrel::test {

int FakeDialogs::messageBox(const QString& text, const QString& title, uint32_t style) {
    const ShownBox box{text, title.isEmpty() ? kProgramTitle : title, style};
    boxes.append(box);
    if (m_log)
        m_log->events.append(QStringLiteral("box:") + box.title);
    if (whileOpen) {
        // Restored also when the program ends inside the box.
        struct Open {
            int& depth;
            explicit Open(int& d) : depth(++d) {}
            ~Open() { --depth; }
        } open(openDepth);
        whileOpen(box);
    }
    if (answer) {
        if (const int given = answer(box))
            return given;
    }
    return answers.isEmpty() ? IDOK : answers.takeFirst();
}

void FakeDialogs::beep() {
    ++beeps;
    if (m_log)
        m_log->events.append(QStringLiteral("beep"));
}

void FakeSound::PlaySoundCue(const QString& path) {
    played.append(path);
    if (m_log)
        m_log->events.append(QStringLiteral("sound:") + QFileInfo(path).fileName());
}

void RecordingMainWindow::note(const QString& call) {
    calls.append(call);
    if (m_log)
        m_log->events.append(QStringLiteral("window:") + call);
}

void RecordingMainWindow::addSavedMessage(const QString& description) {
    savedMessages.append(description);
    note(QStringLiteral("add ") + description);
}

void RecordingMainWindow::setEditDeleteEnabled(bool enabled) {
    editDeleteEnabled = enabled;
    note(enabled ? QStringLiteral("editDelete on") : QStringLiteral("editDelete off"));
}

void RecordingMainWindow::showPlaceholder() {
    placeholder = true;
    note(QStringLiteral("placeholder"));
}

void RecordingMainWindow::showWindow() {
    ++shown;
    note(QStringLiteral("show"));
}

void RecordingMainWindow::setTimerMessageEnabled(bool enabled) {
    timerMessageEnabled = enabled;
    note(enabled ? QStringLiteral("timer on") : QStringLiteral("timer off"));
}

} // namespace tavrel::test
