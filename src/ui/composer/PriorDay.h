#pragma once

#include <QDate>
#include <QString>

namespace tavrel {

class DateText;

// The days-prior label's words while no day is set; the save reads them as "0 days prior".
inline const QString kDaysPriorWords = QStringLiteral("Days prior:");

// What actionPrior shows: the first day in the hidden store and, unless the number is "0", in
// the visible label, upright and navy; with "0" the label reads "Days prior:" in black italics.
struct PriorDay {
    QString lblchoosenpriordate;
    QString lblDaysprior;
    bool showsWords = true; // "Days prior:", black italic; otherwise the date, navy upright
};

// The first day shown: `daysPrior` calendar days before the due date.
QDate FirstDayShown(QDate dueDate, int daysPrior);

// The number in the days-prior box. Throws ProgramError 13 when it is not a number.
int DaysPriorNumber(const QString& text);

// actionPrior without the widgets: from the due-date caption and the days-prior text. Throws
// ProgramError 13 when either cannot be read.
PriorDay ComputePriorDay(const QString& dueDateText, const QString& daysPriorText,
                         const DateText& dates);

} // namespace tavrel
