#pragma once

#include <QDate>
#include <QLocale>
#include <QString>
#include <QTime>
#include <optional>
#include <vector>

namespace tavrel {

// Date and time texts as the program stores and shows them. Dates use the locale's short date
// pattern with the year always written with four digits; times in files use "hh:mm:ss am/pm".
// Every parser throws ProgramError(13) on a text it cannot read.
class DateText {
public:
    // `shortPatternOverride` replaces the locale's short date pattern (a user's own system
    // setting such as "d-M-yyyy"); empty means the locale's.
    explicit DateText(QLocale locale = QLocale(), QString shortPatternOverride = {});

    // The short date pattern with a four-digit year, as written.
    QString shortPattern() const { return m_writePattern; }
    QString shortDate(QDate date) const;
    QDate parseDate(const QString& text) const;
    QString longDate(QDate date) const;
    // "mmmm yyyy": the month's full name and the four-digit year.
    QString monthYear(QDate date) const;
    // The locale's own text for a time of day (the status report's "----- " line).
    QString timeText(QTime time) const;
    // The locale's short time text ("14:30" or "2:30 PM"), as the time dialog lists hours.
    QString shortTimeText(QTime time) const;

    // "hh:mm:ss am/pm": 12-hour clock, 12 for midnight and noon, lower-case am/pm.
    static QString ampmTime(QTime time);
    // Reads "hh:mm:ss am/pm", "h:m", "HH:mm:ss" and the like.
    static QTime parseTime(const QString& text);
    // The "h:m" round trip: the time cut to whole minutes.
    static QTime minuteCut(QTime time) { return QTime(time.hour(), time.minute()); }

    const QLocale& locale() const { return m_locale; }

private:
    // A read pattern made only of day, month, four-digit year and separators, read by hand:
    // the locale's parser costs more than the rest of reading a message file together.
    struct NumericPattern {
        enum Part : char { Day, Month, Year, Literal };
        std::vector<Part> parts;
        QString literals; // one character per Literal part, in order
    };
    static std::optional<NumericPattern> numericPattern(const QString& pattern);
    // The date, or an invalid one when the text does not have exactly the pattern's shape (the
    // locale's parser then decides).
    static QDate readNumeric(const NumericPattern& pattern, const QString& text);
    // The first reading of `text` by the read patterns in order, unchecked.
    QDate readDate(const QString& text) const;

    QLocale m_locale;
    QString m_writePattern;
    QStringList m_readPatterns;
    std::vector<std::optional<NumericPattern>> m_numericPatterns; // one per read pattern
};

} // namespace tavrel
