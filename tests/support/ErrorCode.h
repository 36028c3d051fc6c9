#pragma once

#include "ProgramError.h"

#include <functional>

namespace tavrel::test {

// The code of the ProgramError that `f` throws, 0 when it returns.
inline int ErrorCodeOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const ProgramError& e) {
        return e.code();
    }
    return 0;
}

} // namespace tavrel::test
