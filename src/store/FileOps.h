#pragma once

#include <QByteArray>
#include <QFileDevice>
#include <QString>
#include <functional>
#include <memory>

namespace tavrel {

// The program's failure code for a file operation that failed with `error`, refined by the
// system's error number where one is known: 61 disk full, 70 permission denied, 75 otherwise.
int FileErrorCode(QFileDevice::FileError error, int systemError);

// Puts a device between the writer and the file being written; tests use it to make the
// "disk" fail after a given number of bytes. The returned device must be open for writing.
using WriteDeviceFilter = std::function<std::unique_ptr<QIODevice>(QIODevice& file)>;

// Replaces the file at `path` with `bytes`: written beside it and renamed over it only when
// every byte went out. On failure the previous file is left as it was, no temporary file stays
// behind, and ProgramError 61, 70 or 75 is thrown.
void ReplaceFileAtomically(const QString& path, const QByteArray& bytes,
                           const WriteDeviceFilter& filter = {});

} // namespace tavrel
