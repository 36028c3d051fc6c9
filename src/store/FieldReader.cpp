#include "FieldReader.h"

#include "ProgramError.h"

namespace tavrel {

namespace {

bool isBlank(QChar c) {
    return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}
bool isLineBreak(QChar c) {
    return c == QLatin1Char('\r') || c == QLatin1Char('\n');
}

// Consumes one separator at `pos` if there is one: a comma, or a line break (CR LF counts as
// one break, as do a lone CR or LF).
void consumeSeparator(const QString& text, qsizetype& pos) {
    if (pos >= text.size())
        return;
    if (text.at(pos) == QLatin1Char('\r')) {
        ++pos;
        if (pos < text.size() && text.at(pos) == QLatin1Char('\n'))
            ++pos;
    } else if (text.at(pos) == QLatin1Char(',') || text.at(pos) == QLatin1Char('\n')) {
        ++pos;
    }
}

// Passes over everything up to and including the next comma or line break.
void passOverToSeparator(const QString& text, qsizetype& pos) {
    while (pos < text.size() && text.at(pos) != QLatin1Char(',') && !isLineBreak(text.at(pos)))
        ++pos;
    consumeSeparator(text, pos);
}

} // namespace

QString FieldReader::readField() {
    if (atEnd())
        throw ProgramError(InputPastEndOfFile);
    while (m_pos < m_text.size() && isBlank(m_text.at(m_pos)))
        ++m_pos;

    if (m_pos < m_text.size() && m_text.at(m_pos) == QLatin1Char('"')) {
        const qsizetype close = m_text.indexOf(QLatin1Char('"'), m_pos + 1);
        // Cut off inside the quotes: the data ended while the field was being read.
        if (close < 0)
            throw ProgramError(InputPastEndOfFile);
        QString field = m_text.mid(m_pos + 1, close - m_pos - 1);
        m_pos = close + 1;
        passOverToSeparator(m_text, m_pos);
        return field;
    }

    const qsizetype start = m_pos;
    while (m_pos < m_text.size() && m_text.at(m_pos) != QLatin1Char(',') &&
           !isLineBreak(m_text.at(m_pos)))
        ++m_pos;
    qsizetype end = m_pos;
    while (end > start && isBlank(m_text.at(end - 1)))
        --end;
    consumeSeparator(m_text, m_pos);
    return m_text.mid(start, end - start);
}

QString FieldReader::readHashField() {
    while (m_pos < m_text.size() && (isBlank(m_text.at(m_pos)) || isLineBreak(m_text.at(m_pos))))
        ++m_pos;
    if (atEnd())
        throw ProgramError(InputPastEndOfFile);
    if (m_text.at(m_pos) != QLatin1Char('#'))
        throw ProgramError(TypeMismatch);
    const qsizetype close = m_text.indexOf(QLatin1Char('#'), m_pos + 1);
    if (close < 0)
        throw ProgramError(InputPastEndOfFile);
    QString field = m_text.mid(m_pos + 1, close - m_pos - 1);
    m_pos = close + 1;
    while (m_pos < m_text.size() && m_text.at(m_pos) != QLatin1Char(','))
        ++m_pos;
    if (m_pos < m_text.size())
        ++m_pos;
    return field;
}

} // namespace tavrel
