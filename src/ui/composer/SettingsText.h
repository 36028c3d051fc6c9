#pragma once

#include <QString>
#include <optional>

namespace tavrel {

// The conversions the program applies to settings read back as text. Each yields nothing for a
// text that does not convert, such as the "Error" of a missing value; the reader then keeps
// what it had.

// "True"/"False" in any case, or a number (non-zero is true).
std::optional<bool> BooleanFromText(const QString& text);
// A single-precision number.
std::optional<float> SingleFromText(const QString& text);
// A 16-bit integer, rounded half to even; out of range yields nothing.
std::optional<int> IntegerFromText(const QString& text);

// A window edge: (screen - window) rounded to whole twips, halved, the fraction dropped.
int CentredEdge(double screenTwips, double windowTwips);

} // namespace tavrel
