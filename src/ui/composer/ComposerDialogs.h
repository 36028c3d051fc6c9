#pragma once

#include <QDate>
#include <QString>
#include <optional>

namespace tavrel {

// The dialogs the composer opens. The real ones are the date picker, the optional time dialog
// and the about box; tests answer with fakes.
class ComposerDialogs {
public:
    virtual ~ComposerDialogs() = default;
    // The date picker's GetDate: shown modally at `userdate`; the accepted date, or nothing when
    // the user cancelled. An empty `title` keeps the picker's own caption.
    virtual std::optional<QDate> GetDate(QDate userdate, const QString& title) = 0;
    // Shows the optional time dialog modally, without owner. On "&Include" it writes the time
    // stores of the main window, disables "&Optional time" and focuses "&Save Message".
    virtual void ShowOptionalTime() = 0;
    virtual bool AboutVisible() const = 0;
    // Shows the about dialog modally and returns when it closes.
    virtual void ShowAbout() = 0;
};

} // namespace tavrel
