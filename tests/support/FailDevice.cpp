#include "FailDevice.h"

namespace tavrel::test {

FailDevice::FailDevice(QIODevice& target, qint64 budget, int systemError)
    : m_target(target), m_budget(budget), m_systemError(systemError) {
    open(QIODevice::WriteOnly | QIODevice::Unbuffered);
}

qint64 FailDevice::readData(char*, qint64) {
    return -1;
}

qint64 FailDevice::writeData(const char* data, qint64 size) {
    const qint64 room = m_budget - m_written;
    if (room <= 0) {
        errno = m_systemError;
        return -1;
    }
    const qint64 passed = m_target.write(data, std::min(room, size));
    if (passed > 0)
        m_written += passed;
    if (passed < size)
        errno = m_systemError;
    return passed;
}

} // namespace tavrel::test
