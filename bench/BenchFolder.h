#pragma once

#include "DateText.h"

#include <QDate>
#include <QString>
#include <QTemporaryDir>
#include <memory>

namespace tavrel::bench {

// The day every benchmark runs on, at 10:00.
QDate benchToday();
const DateText& benchDates();

// Writes `count` message files into `folder` as the program writes them: a realistic mix where,
// of every hundred, one is in its days-prior period (shown at start-up), one is timed for later
// today, one ended two months ago (old-message report) and the rest lie ahead.
void WriteMessageMix(const QString& folder, int count);

// A program folder with `count` message files, made once per count and kept for the whole run.
class BenchFolder {
public:
    static BenchFolder& withMessages(int count);
    // The folder with a trailing separator.
    QString path() const { return m_dir.path() + QLatin1Char('/'); }
    // Makes it the current directory, as the program expects of its own folder.
    void enter() const;

private:
    QTemporaryDir m_dir;
};

// Removes the folders; before the application object goes.
void ReleaseFolders();

// The floor: list the folder and read every message file whole, nothing else.
qint64 ListAndReadAll(const QString& folder);

} // namespace tavrel::bench
