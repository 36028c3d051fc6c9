#include "SettingsText.h"

#include <cmath>

namespace tavrel {

namespace {

std::optional<double> numberFromText(const QString& text) {
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

} // namespace

std::optional<bool> BooleanFromText(const QString& text) {
    const QString t = text.trimmed();
    if (t.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0)
        return true;
    if (t.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0)
        return false;
    if (const std::optional<double> n = numberFromText(t))
        return *n != 0;
    return std::nullopt;
}

std::optional<float> SingleFromText(const QString& text) {
    const std::optional<double> n = numberFromText(text);
    if (!n || std::fabs(*n) > 3.4e38)
        return std::nullopt;
    return static_cast<float>(*n);
}

std::optional<int> IntegerFromText(const QString& text) {
    const std::optional<double> n = numberFromText(text);
    if (!n)
        return std::nullopt;
    const double rounded = std::nearbyint(*n);
    if (rounded < -32768 || rounded > 32767)
        return std::nullopt;
    return static_cast<int>(rounded);
}

int CentredEdge(double screenTwips, double windowTwips) {
    const long long difference = std::llround(screenTwips - windowTwips);
    return static_cast<int>(difference / 2);
}

} // namespace tavrel
