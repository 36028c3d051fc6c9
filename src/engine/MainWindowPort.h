#pragma once

#include <QString>

namespace tavrel {

// The only operations through which the reminder engine touches the main window.
class MainWindowPort {
public:
    virtual ~MainWindowPort() = default;
    // Appends a description to cboSavedmessages.
    virtual void addSavedMessage(const QString& description) = 0;
    // Enables or disables cmdEdit and cmdDelete together.
    virtual void setEditDeleteEnabled(bool enabled) = 0;
    // Puts "Alter this..." into txtMessageName and txtmessage.
    virtual void showPlaceholder() = 0;
    // Shows the main window, not modal.
    virtual void showWindow() = 0;
    virtual void setTimerMessageEnabled(bool enabled) = 0;
};

inline const QString kPlaceholder = QStringLiteral("Alter this...");

} // namespace tavrel
