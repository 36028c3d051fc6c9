#include "PrivateTmpfs.h"

#include <QDir>
#include <QFile>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <unistd.h>

namespace tavrel::test {

namespace {

QString systemError(const char* what) {
    return QStringLiteral("%1: %2").arg(QLatin1String(what),
                                        QString::fromLocal8Bit(strerror(errno)));
}

// Once per thread: a mount namespace of its own whose mounts do not travel back to the host.
QString enterPrivateNamespace() {
    thread_local bool entered = false;
    if (entered)
        return {};
    if (unshare(CLONE_NEWNS) != 0)
        return systemError("unshare(CLONE_NEWNS)");
    if (mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
        return systemError("making / private");
    entered = true;
    return {};
}

} // namespace

PrivateTmpfs::PrivateTmpfs(qint64 sizeBytes) {
    if (!m_dir.isValid()) {
        m_whyNot = QStringLiteral("no temporary folder");
        return;
    }
    m_whyNot = enterPrivateNamespace();
    if (!m_whyNot.isEmpty())
        return;
    const QByteArray options = "size=" + QByteArray::number(sizeBytes) + ",mode=0755";
    if (mount("tmpfs", QFile::encodeName(m_dir.path()).constData(), "tmpfs", MS_NOSUID | MS_NODEV,
              options.constData()) != 0) {
        m_whyNot = systemError("mounting tmpfs");
        return;
    }
    m_mounted = true;
    m_previousCwd = QDir::currentPath();
    QDir::setCurrent(m_dir.path());
}

PrivateTmpfs::~PrivateTmpfs() {
    if (!m_mounted)
        return;
    QDir::setCurrent(m_previousCwd);
    umount2(QFile::encodeName(m_dir.path()).constData(), MNT_DETACH);
}

qint64 PrivateTmpfs::fill(const QString& name) const {
    const int fd = ::open(QFile::encodeName(file(name)).constData(),
                          O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        return -1;
    const QByteArray block(512, 'F');
    qint64 total = 0;
    for (;;) {
        const ssize_t n = ::write(fd, block.constData(), static_cast<size_t>(block.size()));
        if (n <= 0)
            break;
        total += n;
    }
    ::close(fd);
    return total;
}

bool PrivateTmpfs::remountReadOnly() {
    return mount(nullptr, QFile::encodeName(m_dir.path()).constData(), nullptr,
                 MS_REMOUNT | MS_RDONLY | MS_NOSUID | MS_NODEV, nullptr) == 0;
}

QByteArray PrivateTmpfs::read(const QString& name) const {
    QFile f(file(name));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QStringList PrivateTmpfs::entries() const {
    return QDir(m_dir.path())
        .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

} // namespace tavrel::test
