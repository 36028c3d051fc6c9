// "hh:mm:ss am/pm" and the other time texts: any text is a valid time of day or code 13, and
// the program's own writing of that time reads back to the same time.
#include "DateText.h"
#include "FuzzCheck.h"
#include "ProgramError.h"

#include <QString>
#include <cstddef>
#include <cstdint>

using namespace tavrel;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString text =
        QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    QTime t;
    try {
        t = DateText::parseTime(text);
    } catch (const ProgramError& e) {
        FUZZ_CHECK(e.code() == TypeMismatch);
        return 0;
    }
    FUZZ_CHECK(t.isValid());
    FUZZ_CHECK(DateText::parseTime(DateText::ampmTime(t)) == t);
    const QTime cut = DateText::minuteCut(t);
    FUZZ_CHECK(cut.second() == 0 && cut.hour() == t.hour() && cut.minute() == t.minute());
    return 0;
}
