// The "Temp" line reader: any bytes give lines or code 62; lines written by the program come
// back without their quotes.
#include "FileText.h"
#include "FuzzCheck.h"
#include "ProgramError.h"
#include "ProgramFolder.h"

#include <QByteArray>
#include <cstddef>
#include <cstdint>

using namespace tavrel;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    QStringList lines;
    try {
        lines = ParseTempLines(bytes);
    } catch (const ProgramError& e) {
        FUZZ_CHECK(e.code() == InputPastEndOfFile);
        return 0;
    }
    // Written back as the start-up pass writes them, the lines read back the same (a line read
    // without quotes may hold one, which the format cannot write back).
    QByteArray again;
    for (const QString& line : lines) {
        if (line.contains(QLatin1Char('"')))
            return 0;
        again +=
            EncodeFileText(QLatin1Char('"') + line + QLatin1Char('"') + QStringLiteral("\r\n"));
    }
    FUZZ_CHECK(ParseTempLines(again) == lines);
    return 0;
}
