// Message-file reader: any bytes either give a record or the corrupted-file code 62, and a
// corrupted file never leaves a half-read record behind. A record read back from its own
// encoding is the same record.
#include "FuzzCheck.h"
#include "MessageFile.h"
#include "ProgramError.h"

#include <QByteArray>
#include <cstddef>
#include <cstdint>

using namespace tavrel;

namespace {

bool holdsQuote(const MessageRecord& r) {
    for (const QString* f :
         {&r.finalDate, &r.messageText, &r.daysPrior, &r.priorDate, &r.startTime, &r.endTime})
        if (f->contains(QLatin1Char('"')))
            return true;
    return false;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const MessageRecord before{QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c"),
                               QStringLiteral("d"), QStringLiteral("e"), QStringLiteral("f")};
    MessageRecord into = before;
    try {
        ParseMessageRecords(bytes, into);
    } catch (const ProgramError& e) {
        FUZZ_CHECK(e.code() == InputPastEndOfFile);
        FUZZ_CHECK(into == before);
        return 0;
    }
    // A field read without quotes may hold a quote, which the format cannot write back.
    if (!holdsQuote(into)) {
        MessageRecord back;
        ParseMessageRecords(EncodeMessageRecord(into), back);
        FUZZ_CHECK(back == into);
    }
    return 0;
}
