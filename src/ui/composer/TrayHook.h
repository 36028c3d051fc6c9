#pragma once

namespace tavrel {

// The notification-area icon as the main window sees it: added when the window loads, removed
// when it closes.
class TrayHook {
public:
    virtual ~TrayHook() = default;
    // False when there is no notification area or the icon could not be added.
    virtual bool add() = 0;
    virtual void remove() = 0;
    // True once a host shows the icon; an added icon that no host took in cannot be clicked.
    virtual bool docked() const = 0;
};

} // namespace tavrel
