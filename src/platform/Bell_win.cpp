#include "Session.h"

#include <windows.h>

namespace tavrel {

// The system's "Default Beep" sound, as the user has set it.
void RingBell() {
    MessageBeep(MB_OK);
}

} // namespace tavrel
