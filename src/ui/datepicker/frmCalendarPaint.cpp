#include "frmCalendar.h"

#include "Clock.h"
#include "WindowLook.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QRegion>
#include <qdrawutil.h>

namespace tavrel {

namespace {

// picMonth has a one-pixel sunken border; the grid lies inside it.
constexpr int kBorder = 1;

// The four edges of a frame whose cell starts at (x, y), as the rectangles they cover.
struct FrameEdges {
    QRect left, top, right, bottom;
};

FrameEdges frameEdges(QPoint origin, int cellWidth, int cellHeight) {
    const int x = origin.x();
    const int y = origin.y();
    // One path: up the left edge and along the top in the first colour, then down the right
    // edge and back along the bottom in the second; each stroke leaves its end point to the
    // next.
    return {QRect(x, y, 1, cellHeight + 1), QRect(x, y, cellWidth, 1),
            QRect(x + cellWidth, y, 1, cellHeight), QRect(x + 1, y + cellHeight, cellWidth, 1)};
}

} // namespace

QPoint frmCalendar::gridOrigin() const {
    return {kBorder, kBorder};
}

bool frmCalendar::ensureSurface() {
    const qreal ratio = picMonth->devicePixelRatioF();
    const QSize pixels = (QSizeF(picMonth->size()) * ratio).toSize();
    if (!m_surface.isNull() && m_surface.size() == pixels &&
        qFuzzyCompare(m_surface.devicePixelRatio(), ratio))
        return false;
    m_surface = QImage(pixels, QImage::Format_ARGB32_Premultiplied);
    m_surface.setDevicePixelRatio(ratio);
    return true;
}

void frmCalendar::picMonth_Paint() {
    // When only the frames changed since the last full drawing, the image already holds them.
    if (ensureSurface() || m_monthPending || !m_framesOnly)
        PaintMonth();
    m_monthPending = false;
    m_framesOnly = false;
    QPainter painter(picMonth);
    painter.drawImage(QPoint(0, 0), m_surface);
}

void frmCalendar::PaintMonth() {
    ensureSurface();
    const QPalette& colours = picMonth->palette();
    QPainter painter(&m_surface);
    painter.fillRect(QRect(QPoint(0, 0), picMonth->size()), colours.color(QPalette::Button));
    qDrawShadePanel(&painter, picMonth->rect(), colours, true, kBorder);
    if (!m_currentDate.isValid())
        return;

    const QDate today = m_clock.today();
    const bool currentMonth =
        m_currentDate.year() == today.year() && m_currentDate.month() == today.month();
    const int days = MonthGrid::daysInMonth(m_currentDate);
    const QDate first(m_currentDate.year(), m_currentDate.month(), 1);

    painter.translate(gridOrigin());
    painter.setPen(colours.color(QPalette::ButtonText));
    const QFont normal = ClassicFont(kClassicPointSize);
    const QFont bold = ClassicFont(kClassicPointSize, true);
    for (int d = 1; d <= days; ++d) {
        const QPoint cell = m_grid.cellOrigin(MonthGrid::cellIndex(first.addDays(d - 1)));
        const QFont& font = currentMonth && d == today.day() ? bold : normal;
        painter.setFont(font);
        const QFontMetricsF metrics(font, &m_surface);
        const QString text = QString::number(d);
        const qreal left = cell.x() + (m_grid.cellWidth() - metrics.horizontalAdvance(text)) / 2;
        const qreal top = cell.y() + (m_grid.cellHeight() - metrics.height()) / 2;
        painter.drawText(QPointF(left, top + metrics.ascent()), text);
    }
    drawFrame(painter, true);
}

void frmCalendar::drawFrame(QPainter& painter, bool on) const {
    const QPalette& colours = picMonth->palette();
    const QColor face = colours.color(QPalette::Button);
    const QColor first = on ? colours.color(QPalette::Dark) : face;
    const QColor second = on ? colours.color(QPalette::Light) : face;
    const FrameEdges edges = frameEdges(m_grid.cellOrigin(MonthGrid::cellIndex(m_currentDate)),
                                        m_grid.cellWidth(), m_grid.cellHeight());
    painter.fillRect(edges.left, first);
    painter.fillRect(edges.top, first);
    painter.fillRect(edges.right, second);
    painter.fillRect(edges.bottom, second);
}

void frmCalendar::FrameSelectedDay(bool on) {
    if (!m_currentDate.isValid())
        return;
    if (ensureSurface()) {
        // A new surface has no month on it yet: the next paint draws all of it.
        m_monthPending = true;
        picMonth->update();
        return;
    }
    {
        QPainter painter(&m_surface);
        painter.translate(gridOrigin());
        drawFrame(painter, on);
    }
    // Only the frame's edges go to the screen.
    const QRect outer = m_grid.frameRect(m_currentDate).translated(gridOrigin());
    const QRegion ring =
        QRegion(outer.adjusted(-1, -1, 1, 1)) - QRegion(outer.adjusted(2, 2, -2, -2));
    m_framesOnly = true;
    picMonth->update(ring);
}

} // namespace tavrel
