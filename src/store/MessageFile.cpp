#include "MessageFile.h"

#include "FieldReader.h"
#include "FileOps.h"
#include "FileText.h"
#include "ProgramError.h"

#include <QFile>
#include <QFileInfo>

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
    QFile file(path);
    // Only a regular file (or a link to one) is a message: a folder, a device or a pipe of that
    // name is not opened at all (reading /dev/zero or a pipe would never end).
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly))
        throw ProgramError(FileNotFound);
    // Read at most one byte past the bound, whatever size the file claims to have.
    const QByteArray bytes = file.read(kMaxMessageFileBytes + 1);
    if (file.error() != QFileDevice::NoError)
        throw ProgramError(PathFileAccessError);
    file.close();
    if (bytes.size() > kMaxMessageFileBytes)
        throw ProgramError(InputPastEndOfFile);
    ParseMessageRecords(bytes, into);
}

void WriteMessageFile(const QString& path, const MessageRecord& record) {
    ReplaceFileAtomically(path, EncodeMessageRecord(record));
}

} // namespace tavrel
