#include "BenchFolder.h"

#include "MessageFile.h"

#include <QDir>
#include <QFile>
#include <map>

namespace tavrel::bench {

QDate benchToday() {
    return QDate(2026, 12, 7);
}

const DateText& benchDates() {
    static const DateText dates{QLocale(QLocale::English, QLocale::UnitedKingdom)};
    return dates;
}

void WriteMessageMix(const QString& folder, int count) {
    const DateText& dates = benchDates();
    const QDate today = benchToday();
    const QString midnight = QStringLiteral("12:00:00 am");
    for (int i = 0; i < count; ++i) {
        MessageRecord r{QString(),
                        QStringLiteral("Reminder %1: renew the parking permit").arg(i),
                        QStringLiteral("0"),
                        QString(),
                        midnight,
                        midnight};
        QDate final;
        QDate prior;
        switch (i % 100) {
        case 1: // in its days-prior period
            final = today.addDays(3);
            prior = today.addDays(-2);
            r.daysPrior = QStringLiteral("5");
            break;
        case 2: // timed for later today
            final = prior = today;
            r.startTime = QStringLiteral("06:00:00 pm");
            r.endTime = QStringLiteral("07:00:00 pm");
            break;
        case 3: // long past
            final = prior = today.addDays(-60);
            break;
        default:
            final = today.addDays(10 + i % 300);
            prior = final.addDays(-(i % 5));
            r.daysPrior = QString::number(i % 5);
            break;
        }
        r.finalDate = dates.shortDate(final);
        r.priorDate = dates.shortDate(prior);
        QFile file(folder + QStringLiteral("Message %1.tvr").arg(i, 5, 10, QLatin1Char('0')));
        const QByteArray bytes = EncodeMessageRecord(r);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            qFatal("cannot write %s", qPrintable(file.fileName()));
    }
}

namespace {
std::map<int, std::unique_ptr<BenchFolder>>& folders() {
    static std::map<int, std::unique_ptr<BenchFolder>> made;
    return made;
}
} // namespace

void ReleaseFolders() {
    folders().clear();
}

BenchFolder& BenchFolder::withMessages(int count) {
    std::unique_ptr<BenchFolder>& folder = folders()[count];
    if (!folder) {
        folder.reset(new BenchFolder);
        WriteMessageMix(folder->path(), count);
    }
    return *folder;
}

void BenchFolder::enter() const {
    QDir::setCurrent(m_dir.path());
}

qint64 ListAndReadAll(const QString& folder) {
    qint64 bytes = 0;
    const QStringList names =
        QDir(folder).entryList({QStringLiteral("*.tvr")}, QDir::Files, QDir::Unsorted);
    for (const QString& name : names) {
        QFile file(name);
        if (file.open(QIODevice::ReadOnly))
            bytes += file.readAll().size();
    }
    return bytes;
}

} // namespace tavrel::bench
