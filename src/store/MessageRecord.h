#pragma once

#include <QString>

namespace tavrel {

// One saved message: six text fields, in their order on disk.
struct MessageRecord {
    QString finalDate;
    QString messageText;
    QString daysPrior;
    QString priorDate;
    QString startTime;
    QString endTime;

    bool operator==(const MessageRecord&) const = default;
};

} // namespace tavrel
