#pragma once

#include <QString>

namespace tavrel {

// The reading rule shared by message files, "Temp" and the timer file: blanks before a field are
// skipped; a quoted field runs to the next quote (commas and line breaks included) and the rest
// up to and including the next comma or line break is passed over; an unquoted field runs to the
// next comma or line break, trailing blanks removed. Reading past the end throws ProgramError 62.
class FieldReader {
public:
    explicit FieldReader(QString text) : m_text(std::move(text)) {}

    bool atEnd() const { return m_pos >= m_text.size(); }
    QString readField();
    // For the timer file: skips blanks and line breaks, expects "#", returns the text up to the
    // next "#", and passes over everything up to and including the next comma.
    QString readHashField();

private:
    QString m_text;
    qsizetype m_pos = 0;
};

} // namespace tavrel
