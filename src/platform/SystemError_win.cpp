#include "SystemError.h"

#include <cerrno>

#include <windows.h>

namespace tavrel {

// Qt's Windows file engine sets no errno; the Win32 error of its failed call stays with the
// thread. A device of the C runtime beneath a writer may still report through errno.
void ClearFileError() {
    SetLastError(ERROR_SUCCESS);
    errno = 0;
}

int LastFileError() {
    switch (GetLastError()) {
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
    case ERROR_FILE_TOO_LARGE:
        return ENOSPC;
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
        return EACCES;
    default:
        return errno;
    }
}

} // namespace tavrel
