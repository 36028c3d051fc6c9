#pragma once

#include <QString>
#include <QStringList>

namespace tavrel {

// The time lists of the optional time dialog: position n (0 to 23) holds the whole hour n as
// "hh:00"; the end list has "23:59" at position 24 as well.
QStringList StartTimeList();
QStringList EndTimeList();
inline constexpr int kEndOfDayPosition = 24;

// The list position of a stored "hh:mm:ss am/pm" time, by exact comparison with the table of
// whole hours plus "11:59:00 am"/"11:59:00 pm" (both position 24); any other text gives 0.
int TimeListIndex(const QString& storedTime);

} // namespace tavrel
