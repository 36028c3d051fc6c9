#pragma once

#include <QIODevice>
#include <cerrno>

namespace tavrel::test {

// Passes writes on to `target` until `budget` bytes have gone through, then fails as a full
// disk does (errno set to `systemError`). A write that does not fit is cut short.
class FailDevice final : public QIODevice {
public:
    FailDevice(QIODevice& target, qint64 budget, int systemError = ENOSPC);

    qint64 written() const { return m_written; }

protected:
    qint64 readData(char* data, qint64 maxSize) override;
    qint64 writeData(const char* data, qint64 size) override;

private:
    QIODevice& m_target;
    qint64 m_budget;
    int m_systemError;
    qint64 m_written = 0;
};

} // namespace tavrel::test
