#pragma once

#include "Dialogs.h"

class QMessageBox;
class QWidget;

namespace tavrel {

// Maps the Win32 style values onto QMessageBox.
class QtDialogs final : public Dialogs {
public:
    int messageBox(const QString& text, const QString& title, uint32_t style) override;
    // Ignores keys, clicks and the close button for its first `reminderGuardMs`.
    int reminderBox(const QString& text, const QString& title, uint32_t style) override;
    void beep() override;

    // Long enough to stop a word being typed into another program, short enough not to be felt.
    int reminderGuardMs = 1000;

    // Builds (without showing) the box messageBox would show; exposed for tests.
    static QMessageBox* build(const QString& text, const QString& title, uint32_t style);

    // A box or dialog about to open while a reminder is on screen comes up above it (reminders
    // stay on top) and takes the focus, instead of opening hidden beneath it with the keyboard.
    // Call before showing; returns true when it applied.
    static bool keepAboveReminders(QWidget* window);

private:
    int run(const QString& text, const QString& title, uint32_t style, int guardMs);
};

} // namespace tavrel
