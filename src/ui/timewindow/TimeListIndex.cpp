#include "TimeListIndex.h"

#include <array>

namespace tavrel {

namespace {

struct Entry {
    const char* text;
    int position;
};

// "12:00:00 am" (midnight as the files write it) is deliberately absent: it falls to 0 anyway.
constexpr std::array<Entry, 27> kTable{{
    {"00:00:00 am", 0},  {"01:00:00 am", 1},  {"02:00:00 am", 2},  {"03:00:00 am", 3},
    {"04:00:00 am", 4},  {"05:00:00 am", 5},  {"06:00:00 am", 6},  {"07:00:00 am", 7},
    {"08:00:00 am", 8},  {"09:00:00 am", 9},  {"10:00:00 am", 10}, {"11:00:00 am", 11},
    {"11:59:00 am", 24}, {"12:00:00 pm", 12}, {"00:00:00 pm", 12}, {"01:00:00 pm", 13},
    {"02:00:00 pm", 14}, {"03:00:00 pm", 15}, {"04:00:00 pm", 16}, {"05:00:00 pm", 17},
    {"06:00:00 pm", 18}, {"07:00:00 pm", 19}, {"08:00:00 pm", 20}, {"09:00:00 pm", 21},
    {"10:00:00 pm", 22}, {"11:00:00 pm", 23}, {"11:59:00 pm", 24},
}};

} // namespace

QStringList StartTimeList() {
    QStringList times;
    for (int hour = 0; hour < 24; ++hour)
        times.append(QStringLiteral("%1:00").arg(hour, 2, 10, QLatin1Char('0')));
    return times;
}

QStringList EndTimeList() {
    return StartTimeList() << QStringLiteral("23:59");
}

int TimeListIndex(const QString& storedTime) {
    for (const Entry& entry : kTable) {
        if (storedTime == QLatin1String(entry.text))
            return entry.position;
    }
    return 0;
}

} // namespace tavrel
