#include "TrayHost.h"

#include <QGuiApplication>
#include <QStyleHints>

namespace tavrel {

namespace {

// X11's button numbers.
constexpr quint32 kLeftButton = 1;
constexpr quint32 kRightButton = 3;

} // namespace

std::optional<BlockedIconClicks::Click> BlockedIconClicks::pressed(quint32 button, quint32 time) {
    // The server reports one press for the master pointer and again for the device under it.
    if (m_havePress && time == m_lastPressTime && button == m_lastButton)
        return std::nullopt;
    m_havePress = true;
    m_lastPressTime = time;
    m_lastButton = button;
    if (button == kLeftButton) {
        const auto interval = quint32(QGuiApplication::styleHints()->mouseDoubleClickInterval());
        if (m_haveLeftPress && time - m_lastLeftPress <= interval) {
            m_haveLeftPress = false;
            return Click::LeftDouble;
        }
        m_haveLeftPress = true;
        m_lastLeftPress = time;
        return std::nullopt;
    }
    m_haveLeftPress = false;
    // As the toolkit reports the icon's context request: on the press.
    if (button == kRightButton)
        return Click::Right;
    return std::nullopt;
}

} // namespace tavrel
