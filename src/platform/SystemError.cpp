#include "SystemError.h"

#include <cerrno>

namespace tavrel {

void ClearFileError() {
    errno = 0;
}

int LastFileError() {
    return errno;
}

} // namespace tavrel
