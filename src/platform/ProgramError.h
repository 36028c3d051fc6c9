#pragma once

#include <QString>
#include <exception>

namespace tavrel {

// The failure codes the program's error boxes show and its handlers branch on.
enum ErrorCode : int {
    TypeMismatch = 13,
    BadFileName = 52,
    FileNotFound = 53,
    DiskFull = 61,
    InputPastEndOfFile = 62,
    PermissionDenied = 70,
    PathFileAccessError = 75,
    ComponentMissing = 339,
    NonModalWhileModal = 401,
    ComponentCreationFailed = 50003,
};

// The one typed error of the program, thrown by the store and the text parsers and caught by
// each routine's single handler.
class ProgramError : public std::exception {
public:
    explicit ProgramError(int code, QString description = {});

    int code() const { return m_code; }
    const QString& description() const { return m_description; }
    const char* what() const noexcept override { return m_what.constData(); }

    // The short text naming a known code ("File not found", ...).
    static QString standardDescription(int code);

private:
    int m_code;
    QString m_description;
    QByteArray m_what;
};

// A number as the program writes it into a message: zero or more gets one leading blank.
QString NumberText(long long n);

// The generic error box text for a failure inside the routine labelled `routine`.
QString GenericErrorText(const ProgramError& error, const QString& routine);

// The title of the generic error box.
inline const QString kErrorTitle = QStringLiteral("Error");

} // namespace tavrel
