#include "TempProgramFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace tavrel::test {

TempProgramFolder::TempProgramFolder(bool enter) {
    if (enter) {
        m_previousCwd = QDir::currentPath();
        QDir::setCurrent(m_dir.path());
    }
}

TempProgramFolder::~TempProgramFolder() {
    if (!m_previousCwd.isEmpty())
        QDir::setCurrent(m_previousCwd);
}

QString TempProgramFolder::path() const {
    return m_dir.path() + QLatin1Char('/');
}

void TempProgramFolder::write(const QString& name, const QByteArray& bytes) const {
    QFile f(file(name));
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size())
        qFatal("cannot write test file %s", qPrintable(file(name)));
}

QByteArray TempProgramFolder::read(const QString& name) const {
    QFile f(file(name));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool TempProgramFolder::exists(const QString& name) const {
    return QFileInfo::exists(file(name));
}

QStringList TempProgramFolder::entries() const {
    return QDir(m_dir.path())
        .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

QStringList TempProgramFolder::escapedEntries() const {
    QDir parent(m_dir.path());
    parent.cdUp();
    const QStringList patterns{QStringLiteral("*.tvr"), QStringLiteral("*escape*")};
    const auto filter = QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot;
    return parent.entryList(patterns, filter) +
           QDir(QStringLiteral("/")).entryList(patterns, filter) +
           QDir(QStringLiteral("/etc")).entryList({QStringLiteral("passwd*")}, filter);
}

} // namespace tavrel::test
