#pragma once

#include "Dialogs.h"

class QMessageBox;

namespace tavrel {

// Maps the Win32 style values onto QMessageBox.
class QtDialogs final : public Dialogs {
public:
    int messageBox(const QString& text, const QString& title, uint32_t style) override;
    void beep() override;

    // Builds (without showing) the box messageBox would show; exposed for tests.
    static QMessageBox* build(const QString& text, const QString& title, uint32_t style);
};

} // namespace tavrel
