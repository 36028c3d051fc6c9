#include "ProgramError.h"

namespace tavrel {

ProgramError::ProgramError(int code, QString description)
    : m_code(code),
      m_description(description.isEmpty() ? standardDescription(code) : std::move(description)),
      m_what((QStringLiteral("Error") + NumberText(code) + QStringLiteral(" - ") + m_description)
                 .toUtf8()) {}

QString ProgramError::standardDescription(int code) {
    switch (code) {
    case TypeMismatch:
        return QStringLiteral("Type mismatch");
    case BadFileName:
        return QStringLiteral("Bad file name or number");
    case FileNotFound:
        return QStringLiteral("File not found");
    case DiskFull:
        return QStringLiteral("Disk full");
    case InputPastEndOfFile:
        return QStringLiteral("Input past end of file");
    case PermissionDenied:
        return QStringLiteral("Permission denied");
    case PathFileAccessError:
        return QStringLiteral("Path/File access error");
    case ComponentMissing:
        return QStringLiteral("Component not correctly registered or a file is missing");
    case NonModalWhileModal:
        return QStringLiteral("Can't show non-modal form when modal form is displayed");
    case ComponentCreationFailed:
        return QStringLiteral("Unexpected error while creating the window's components");
    default:
        return QStringLiteral("Application-defined or object-defined error");
    }
}

QString NumberText(long long n) {
    return n >= 0 ? QStringLiteral(" ") + QString::number(n) : QString::number(n);
}

QString GenericErrorText(const ProgramError& error, const QString& routine) {
    const QString crlf = QStringLiteral("\r\n");
    return QStringLiteral("An Error was generated:") + crlf + crlf + QStringLiteral("Description:") +
           crlf + QStringLiteral("Error") + NumberText(error.code()) + QStringLiteral(" - ") +
           error.description() + crlf + routine + crlf + crlf +
           QStringLiteral("Please inform the author with the error description above.");
}

} // namespace tavrel
