// Writes the seed corpus of every fuzz target from the program's own writers: message files,
// "Temp" lines, timer-file lines, date texts in several locales and time texts.
// Usage: make_corpus <folder>   (creates <folder>/<target>/seed-N)
#include "DateText.h"
#include "FileText.h"
#include "MessageFile.h"
#include "ProgramFolder.h"

#include <QDir>
#include <QFile>
#include <QLocale>
#include <cstdio>

using namespace tavrel;

namespace {

void put(const QString& folder, const QString& target, const QByteArray& bytes) {
    QDir().mkpath(folder + QLatin1Char('/') + target);
    static int n = 0;
    QFile f(folder + QLatin1Char('/') + target + QStringLiteral("/seed-") + QString::number(++n));
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size()) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(f.fileName()));
        std::exit(1);
    }
}

const QStringList kTexts = {
    QStringLiteral("Buy milk"),
    QStringLiteral("eggs, milk,, bread,"),
    QStringLiteral("first line\r\nsecond, line\r\n\r\nlast"),
    QStringLiteral("Caf\u00e9 \u20ac5 na\u00efve"),
    QString(250, QLatin1Char('x')),
    QString(),
};

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <folder>\n", argv[0]);
        return 2;
    }
    const QString out = QString::fromLocal8Bit(argv[1]);
    const DateText dmy(QLocale::c(), QStringLiteral("d-M-yyyy"));
    const QList<QTime> times = {QTime(0, 0), QTime(9, 0), QTime(12, 0), QTime(14, 30),
                                QTime(23, 59, 59)};

    // Message files, and the lines the start-up pass and the timer file hold for them.
    QByteArray twoRecords;
    QByteArray timerFile;
    for (int i = 0; i < kTexts.size(); ++i) {
        const QDate due = QDate(2003, 8, 21).addDays(i * 400);
        const int prior = i * 7 % 100;
        const QTime start = times.at(i % times.size());
        const QTime end = i % 2 ? start.addSecs(3600) : start;
        const MessageRecord r{dmy.shortDate(due),        kTexts.at(i),
                              QString::number(prior),    dmy.shortDate(due.addDays(-prior)),
                              DateText::ampmTime(start), DateText::ampmTime(end)};
        const QByteArray bytes = EncodeMessageRecord(r);
        put(out, QStringLiteral("messagefile"), bytes);
        twoRecords += bytes;
        put(out, QStringLiteral("templines"),
            EncodeFileText(QLatin1Char('"') +
                           TempLineText(r.priorDate, QStringLiteral("Message %1").arg(i)) +
                           QStringLiteral("\"\r\n")));
        const QByteArray line =
            EncodeFileText(QLatin1Char('#') + r.startTime + QStringLiteral("#, \"") +
                           r.messageText + QStringLiteral("\"\r\n"));
        timerFile += line;
        put(out, QStringLiteral("timerfile"), line);
        put(out, QStringLiteral("timetext"), r.startTime.toUtf8());
    }
    put(out, QStringLiteral("messagefile"), twoRecords);
    put(out, QStringLiteral("timerfile"), timerFile);
    for (const char* t : {"14:30", "2:30 PM", "9:5", "00:00", "23:59:59"})
        put(out, QStringLiteral("timetext"), t);

    // Dates: the first byte picks the locale, in the order the date target lists them.
    const QList<QLocale> locales = {QLocale::c(),
                                    QLocale(QLocale::English, QLocale::UnitedStates),
                                    QLocale(QLocale::German, QLocale::Germany),
                                    QLocale(QLocale::English, QLocale::UnitedKingdom),
                                    QLocale(QLocale::Dutch, QLocale::Netherlands),
                                    QLocale(QLocale::Japanese, QLocale::Japan),
                                    QLocale(QLocale::Arabic, QLocale::Egypt)};
    for (int l = 0; l < locales.size(); ++l) {
        const DateText dates = l == 0 ? dmy : DateText(locales.at(l));
        for (const QDate d : {QDate(2003, 8, 21), QDate(2024, 2, 29), QDate(1999, 12, 31)}) {
            put(out, QStringLiteral("datetext"), char(l) + dates.shortDate(d).toUtf8());
            put(out, QStringLiteral("datetext"),
                char(l) + locales.at(l).toString(d, QLocale::ShortFormat).toUtf8());
        }
        put(out, QStringLiteral("datetext"), char(l) + QByteArray("2026-12-07"));
    }

    // Settings key paths, as the program's settings wrapper is given them.
    for (const char* k : {"HKEY_CURRENT_USER\\Software\\Kestrane\\Tavrel",
                          "HKEY_LOCAL_MACHINE\\Software", "HKEY_CURRENT_USER", "Software\\x"})
        put(out, QStringLiteral("splitkeypath"), k);
    return 0;
}
