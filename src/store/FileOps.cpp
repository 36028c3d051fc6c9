#include "FileOps.h"

#include "ProgramError.h"
#include "SystemError.h"

#include <QFile>
#include <QSaveFile>
#include <cerrno>

namespace tavrel {

int FileErrorCode(QFileDevice::FileError error, int systemError) {
    switch (systemError) {
    case ENOSPC:
    case EFBIG:
#ifdef EDQUOT
    case EDQUOT:
#endif
        return DiskFull;
    case EACCES:
    case EPERM:
    case EROFS:
        return PermissionDenied;
    default:
        break;
    }
    switch (error) {
    case QFileDevice::ResourceError:
        return DiskFull;
    case QFileDevice::PermissionsError:
        return PermissionDenied;
    default:
        return PathFileAccessError;
    }
}

namespace {

// A write or flush that fell short: the device's error, or a plain write error where the device
// noticed none (a short write on a full disk). Taken before any clean-up touches errno.
ProgramError writeFailure(QFileDevice::FileError error, int systemError) {
    return ProgramError(FileErrorCode(
        error == QFileDevice::NoError ? QFileDevice::WriteError : error, systemError));
}

} // namespace

void ReplaceFileAtomically(const QString& path, const QByteArray& bytes,
                           const WriteDeviceFilter& filter) {
    // The system cuts a path at a NUL: the file would land under another name, reported as saved.
    if (path.contains(QChar(u'\0')))
        throw ProgramError(BadFileName);
    // QSaveFile removes its temporary file when it goes out of scope uncommitted, so every
    // throw below leaves the folder as it was.
    QSaveFile file(path);
    ClearFileError();
    if (!file.open(QIODevice::WriteOnly))
        throw ProgramError(FileErrorCode(file.error(), LastFileError()));

    const std::unique_ptr<QIODevice> filtered = filter ? filter(file) : nullptr;
    QIODevice& out = filtered ? *filtered : static_cast<QIODevice&>(file);
    ClearFileError();
    // QSaveFile::commit() reports success even when flushing its buffer fell short (the file
    // then ends up cut off), so the buffer is flushed and checked here first.
    if (out.write(bytes) != bytes.size() || !file.flush()) {
        const ProgramError failure = writeFailure(file.error(), LastFileError());
        file.cancelWriting();
        throw failure;
    }
    ClearFileError();
    if (!file.commit())
        throw ProgramError(FileErrorCode(file.error(), LastFileError()));
}

void AppendToFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    const bool existed = file.exists();
    ClearFileError();
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append))
        throw ProgramError(FileErrorCode(file.error(), LastFileError()));
    const qint64 sizeBefore = file.size();
    ClearFileError();
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        const ProgramError failure = writeFailure(file.error(), LastFileError());
        file.close();
        if (existed)
            QFile::resize(path, sizeBefore);
        else
            QFile::remove(path);
        throw failure;
    }
    file.close();
}

} // namespace tavrel
