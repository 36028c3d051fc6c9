#pragma once

#include <QString>
#include <cstdint>

namespace tavrel {

// Win32 message-box style values; the program speaks in these everywhere.
namespace MB {
constexpr uint32_t OK = 0x0;
constexpr uint32_t OKCANCEL = 0x1;
constexpr uint32_t YESNO = 0x4;
constexpr uint32_t ICONSTOP = 0x10;
constexpr uint32_t ICONQUESTION = 0x20;
constexpr uint32_t ICONWARNING = 0x30;
constexpr uint32_t ICONINFORMATION = 0x40;
constexpr uint32_t DEFBUTTON2 = 0x100;
constexpr uint32_t SETFOREGROUND = 0x10000;
constexpr uint32_t RTLREADING = 0x100000;
constexpr uint32_t ButtonMask = 0xF;
constexpr uint32_t IconMask = 0xF0;
constexpr uint32_t DefaultMask = 0xF00;
} // namespace MB

// Win32 message-box results.
enum DialogResult : int { IDOK = 1, IDCANCEL = 2, IDYES = 6, IDNO = 7 };

// Modal message boxes and the system beep. Every box of the program goes through here.
class Dialogs {
public:
    virtual ~Dialogs() = default;
    // Shows a modal box and returns the Win32 result. An empty title shows "Tavrel".
    virtual int messageBox(const QString& text, const QString& title, uint32_t style) = 0;
    // A box that puts a reminder before the user (a message due, a missed window): the same
    // box, but one a key typed into another program or a stray click cannot close unseen.
    virtual int reminderBox(const QString& text, const QString& title, uint32_t style) {
        return messageBox(text, title, style);
    }
    virtual void beep() = 0;
};

inline const QString kProgramTitle = QStringLiteral("Tavrel");

} // namespace tavrel
