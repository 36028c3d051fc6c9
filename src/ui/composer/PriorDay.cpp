#include "PriorDay.h"

#include "DateText.h"
#include "ProgramError.h"

namespace tavrel {

QDate FirstDayShown(QDate dueDate, int daysPrior) {
    return dueDate.addDays(-daysPrior);
}

int DaysPriorNumber(const QString& text) {
    bool ok = false;
    const int n = text.trimmed().toInt(&ok);
    if (!ok)
        throw ProgramError(TypeMismatch);
    return n;
}

PriorDay ComputePriorDay(const QString& dueDateText, const QString& daysPriorText,
                         const DateText& dates) {
    const QDate due = dates.parseDate(dueDateText);
    const QDate first = FirstDayShown(due, DaysPriorNumber(daysPriorText));
    if (!first.isValid())
        throw ProgramError(TypeMismatch);
    PriorDay result;
    result.lblchoosenpriordate = dates.shortDate(first);
    const bool words = daysPriorText == QLatin1String("0");
    result.lblDaysprior = words ? kDaysPriorWords : result.lblchoosenpriordate;
    result.showsWords = words;
    return result;
}

} // namespace tavrel
