#include "DateText.h"

#include "ProgramError.h"

#include <QRegularExpression>

namespace tavrel {

namespace {

// "yy" alone becomes "yyyy"; an existing "yyyy" stays.
QString withFourDigitYear(QString pattern) {
    static const QRegularExpression years(QStringLiteral("y+"));
    return pattern.replace(years, QStringLiteral("yyyy"));
}

// Day and month without leading zeros read both "01" and "1".
QString lenient(QString pattern) {
    static const QRegularExpression days(QStringLiteral("(?<![d])dd(?![d])"));
    static const QRegularExpression months(QStringLiteral("(?<![M])MM(?![M])"));
    return pattern.replace(days, QStringLiteral("d")).replace(months, QStringLiteral("M"));
}

QString withoutTimeZone(QString pattern) {
    static const QRegularExpression zone(QStringLiteral("\\s*\\bt+\\b"));
    return pattern.remove(zone).trimmed();
}

} // namespace

DateText::DateText(QLocale locale, QString shortPatternOverride) : m_locale(std::move(locale)) {
    const QString own = shortPatternOverride.isEmpty() ? m_locale.dateFormat(QLocale::ShortFormat)
                                                       : shortPatternOverride;
    m_writePattern = withFourDigitYear(own);
    m_readPatterns = {lenient(m_writePattern), lenient(own), QStringLiteral("yyyy-M-d")};
    m_readPatterns.removeDuplicates();
    for (const QString& pattern : m_readPatterns)
        m_numericPatterns.push_back(numericPattern(pattern));
}

std::optional<DateText::NumericPattern> DateText::numericPattern(const QString& pattern) {
    NumericPattern numeric;
    int days = 0, months = 0, years = 0;
    for (qsizetype i = 0; i < pattern.size();) {
        const QChar c = pattern.at(i);
        qsizetype run = 1;
        while (i + run < pattern.size() && pattern.at(i + run) == c)
            ++run;
        if (c == QLatin1Char('d') && run == 1) {
            numeric.parts.push_back(NumericPattern::Day);
            ++days;
        } else if (c == QLatin1Char('M') && run == 1) {
            numeric.parts.push_back(NumericPattern::Month);
            ++months;
        } else if (c == QLatin1Char('y') && run == 4) {
            numeric.parts.push_back(NumericPattern::Year);
            ++years;
        } else if (c.isLetter() || c == QLatin1Char('\'') || c.isDigit() || c.isSpace()) {
            // Names, two-digit years, quoted text: only the locale's parser knows them.
            return std::nullopt;
        } else {
            for (qsizetype k = 0; k < run; ++k) {
                numeric.parts.push_back(NumericPattern::Literal);
                numeric.literals.append(c);
            }
        }
        i += run;
    }
    if (days != 1 || months != 1 || years != 1)
        return std::nullopt;
    return numeric;
}

QDate DateText::readNumeric(const NumericPattern& pattern, const QString& text) {
    const auto isDigit = [](QChar c) {
        return c >= QLatin1Char('0') && c <= QLatin1Char('9');
    };
    qsizetype pos = 0;
    qsizetype literal = 0;
    int day = 0, month = 0, year = 0;
    for (const NumericPattern::Part part : pattern.parts) {
        if (part == NumericPattern::Literal) {
            if (pos >= text.size() || text.at(pos) != pattern.literals.at(literal++))
                return {};
            ++pos;
            continue;
        }
        // Day and month take one or two digits, the year exactly four.
        const qsizetype least = part == NumericPattern::Year ? 4 : 1;
        const qsizetype most = part == NumericPattern::Year ? 4 : 2;
        int value = 0;
        qsizetype digits = 0;
        while (pos < text.size() && isDigit(text.at(pos)) && digits < most) {
            value = value * 10 + (text.at(pos).unicode() - u'0');
            ++pos;
            ++digits;
        }
        if (digits < least || (pos < text.size() && isDigit(text.at(pos))))
            return {};
        (part == NumericPattern::Day ? day : part == NumericPattern::Month ? month : year) = value;
    }
    if (pos != text.size())
        return {};
    return QDate(year, month, day);
}

QString DateText::shortDate(QDate date) const {
    return m_locale.toString(date, m_writePattern);
}

QDate DateText::parseDate(const QString& text) const {
    const QDate d = readDate(text.trimmed());
    // The dates a message can hold: years before 100 or below zero (the ISO reading takes a
    // sign) would be written back in a form that no longer reads.
    if (!d.isValid() || d.year() < 100 || d.year() > 9999)
        throw ProgramError(TypeMismatch);
    return d;
}

QDate DateText::readDate(const QString& t) const {
    for (qsizetype i = 0; i < m_readPatterns.size(); ++i) {
        const QString& pattern = m_readPatterns.at(i);
        if (const std::optional<NumericPattern>& numeric = m_numericPatterns.at(size_t(i))) {
            const QDate d = readNumeric(*numeric, t);
            if (d.isValid())
                return d;
        }
        QDate d = m_locale.toDate(t, pattern);
        if (!d.isValid())
            continue;
        // A two-digit year falls in 1930..2029.
        if (!pattern.contains(QLatin1String("yyyy")) && d.year() < 1930)
            d = d.addYears(100);
        return d;
    }
    return {};
}

QString DateText::longDate(QDate date) const {
    return m_locale.toString(date, QLocale::LongFormat);
}

QString DateText::monthYear(QDate date) const {
    return m_locale.standaloneMonthName(date.month(), QLocale::LongFormat) + QLatin1Char(' ') +
           QString::number(date.year());
}

QString DateText::timeText(QTime time) const {
    return m_locale.toString(time, withoutTimeZone(m_locale.timeFormat(QLocale::LongFormat)));
}

QString DateText::shortTimeText(QTime time) const {
    return m_locale.toString(time, withoutTimeZone(m_locale.timeFormat(QLocale::ShortFormat)));
}

QString DateText::ampmTime(QTime time) {
    const int h12 = time.hour() % 12 == 0 ? 12 : time.hour() % 12;
    return QString::asprintf("%02d:%02d:%02d %s", h12, time.minute(), time.second(),
                             time.hour() < 12 ? "am" : "pm");
}

QTime DateText::parseTime(const QString& text) {
    static const QRegularExpression form(QStringLiteral(
        "^\\s*(\\d{1,2}):(\\d{1,2})(?::(\\d{1,2}))?\\s*(?:([aApP])\\.?[mM]?\\.?)?\\s*$"));
    const QRegularExpressionMatch m = form.match(text);
    if (!m.hasMatch())
        throw ProgramError(TypeMismatch);
    int hour = m.captured(1).toInt();
    const int minute = m.captured(2).toInt();
    const int second = m.captured(3).isEmpty() ? 0 : m.captured(3).toInt();
    const QString half = m.captured(4).toLower();
    if (!half.isEmpty()) {
        if (hour < 1 || hour > 12)
            throw ProgramError(TypeMismatch);
        hour = hour % 12 + (half == QLatin1String("p") ? 12 : 0);
    }
    const QTime t(hour, minute, second);
    if (!t.isValid())
        throw ProgramError(TypeMismatch);
    return t;
}

} // namespace tavrel
