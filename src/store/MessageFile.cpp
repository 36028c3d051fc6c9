#include "MessageFile.h"

#include "FieldReader.h"
#include "FileOps.h"
#include "FileText.h"
#include "ProgramError.h"

#include <QFile>

namespace tavrel {

QByteArray EncodeMessageRecord(const MessageRecord& record) {
    const QString q = QStringLiteral("\"");
    const QString sep = QStringLiteral("\",\"");
    return EncodeFileText(q + record.finalDate + sep + record.messageText + sep + record.daysPrior +
                          sep + record.priorDate + sep + record.startTime + sep + record.endTime +
                          q + QStringLiteral("\r\n"));
}

void ParseMessageRecords(const QByteArray& bytes, MessageRecord& into) {
    FieldReader reader(DecodeFileText(bytes));
    // A file without any data holds no message: it counts as corrupted.
    if (reader.atEnd())
        throw ProgramError(InputPastEndOfFile);
    MessageRecord last;
    while (!reader.atEnd()) {
        MessageRecord r;
        r.finalDate = reader.readField();
        r.messageText = reader.readField();
        r.daysPrior = reader.readField();
        r.priorDate = reader.readField();
        r.startTime = reader.readField();
        r.endTime = reader.readField();
        last = std::move(r);
    }
    // Only a wholly read file reaches `into`; a corrupted one leaves it untouched.
    into = std::move(last);
}

void ReadMessageFile(const QString& path, MessageRecord& into) {
    // Opening a folder for reading fails by itself; no separate look at the path first.
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw ProgramError(FileNotFound);
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw ProgramError(PathFileAccessError);
    file.close();
    ParseMessageRecords(bytes, into);
}

void WriteMessageFile(const QString& path, const MessageRecord& record) {
    ReplaceFileAtomically(path, EncodeMessageRecord(record));
}

} // namespace tavrel
