// Short date texts in several locales: any text is a valid date or code 13, and the date the
// program writes for a parsed date reads back to it. The first byte picks the locale.
#include "DateText.h"
#include "FuzzCheck.h"
#include "ProgramError.h"

#include <QString>
#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>

using namespace tavrel;

namespace {

const std::array<std::unique_ptr<DateText>, 7>& locales() {
    static const std::array<std::unique_ptr<DateText>, 7> all = {
        std::make_unique<DateText>(QLocale::c(), QStringLiteral("d-M-yyyy")),
        std::make_unique<DateText>(QLocale(QLocale::English, QLocale::UnitedStates)),
        std::make_unique<DateText>(QLocale(QLocale::German, QLocale::Germany)),
        std::make_unique<DateText>(QLocale(QLocale::English, QLocale::UnitedKingdom)),
        std::make_unique<DateText>(QLocale(QLocale::Dutch, QLocale::Netherlands)),
        std::make_unique<DateText>(QLocale(QLocale::Japanese, QLocale::Japan)),
        std::make_unique<DateText>(QLocale(QLocale::Arabic, QLocale::Egypt)),
    };
    return all;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0)
        return 0;
    const DateText& dates = *locales()[data[0] % locales().size()];
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data + 1),
                                           static_cast<qsizetype>(size - 1));
    QDate d;
    try {
        d = dates.parseDate(text);
    } catch (const ProgramError& e) {
        FUZZ_CHECK(e.code() == TypeMismatch);
        return 0;
    }
    FUZZ_CHECK(d.isValid());
    FUZZ_CHECK(dates.parseDate(dates.shortDate(d)) == d);
    return 0;
}
