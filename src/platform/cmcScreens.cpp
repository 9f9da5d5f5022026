#include "platform/cmcScreens.h"

#include "platform/cmcMainWindow.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <algorithm>
#include <cstdint>
#include <limits>

namespace {
std::int64_t overlapArea(const QRect& a, const QRect& b)
{
    const QRect common = a.intersected(b);
    return common.isEmpty() ? 0 : std::int64_t{common.width()} * common.height();
}

std::int64_t squaredGap(const QRect& a, const QRect& b)
{
    const std::int64_t dx = std::max({0, b.left() - a.right(), a.left() - b.right()});
    const std::int64_t dy = std::max({0, b.top() - a.bottom(), a.top() - b.bottom()});
    return dx * dx + dy * dy;
}

// Position along one axis that puts [start, start + size) inside [areaStart, areaStart + areaSize).
int fitAxis(int start, int size, int areaStart, int areaSize)
{
    if (size >= areaSize)
        return areaStart;
    return std::clamp(start, areaStart, areaStart + areaSize - size);
}

bool inSomeArea(const QPoint& corner, const QList<QRect>& areas)
{
    return std::any_of(areas.begin(), areas.end(), [&](const QRect& area) { return area.contains(corner); });
}

// Placement works on frames: move() positions a top-level window by its frame.
QRect frameOf(const QWidget& window)
{
    return window.frameGeometry();
}
} // namespace

QRect cmcKeepOnScreen(const QRect& window, const QList<QRect>& workAreas)
{
    if (workAreas.isEmpty())
        return window;
    const bool allCornersShown =
        inSomeArea(window.topLeft(), workAreas) && inSomeArea(window.topRight(), workAreas) &&
        inSomeArea(window.bottomLeft(), workAreas) && inSomeArea(window.bottomRight(), workAreas);
    if (allCornersShown)
        return window;

    // Its own monitor: the one it overlaps most, else the nearest; the first on a tie.
    qsizetype own = 0;
    std::int64_t bestOverlap = 0;
    for (qsizetype i = 0; i < workAreas.size(); ++i) {
        const std::int64_t overlap = overlapArea(window, workAreas[i]);
        if (overlap > bestOverlap) {
            bestOverlap = overlap;
            own = i;
        }
    }
    if (bestOverlap == 0) {
        std::int64_t bestGap = std::numeric_limits<std::int64_t>::max();
        for (qsizetype i = 0; i < workAreas.size(); ++i) {
            const std::int64_t gap = squaredGap(window, workAreas[i]);
            if (gap < bestGap) {
                bestGap = gap;
                own = i;
            }
        }
    }
    const QRect area = workAreas[own];
    QRect moved = window;
    moved.moveTo(fitAxis(window.x(), window.width(), area.x(), area.width()),
                 fitAxis(window.y(), window.height(), area.y(), area.height()));
    return moved;
}

QRect cmcCentredOn(const QRect& window, const QRect& owner)
{
    QRect moved = window;
    moved.moveTo(owner.x() + (owner.width() - window.width()) / 2,
                 owner.y() + (owner.height() - window.height()) / 2);
    return moved;
}

QRect cmcPlacedNextTo(const QRect& control, const QRect& anchor, cmcSide side)
{
    QRect moved = control;
    switch (side) {
    case cmcSide::Below:
        moved.moveTo(anchor.x(), anchor.y() + anchor.height() + cmcControlGap);
        break;
    case cmcSide::Left:
        moved.moveTo(anchor.x() - cmcControlGap - control.width(), anchor.y());
        break;
    case cmcSide::Right:
        moved.moveTo(anchor.x() + anchor.width() + cmcControlGap, anchor.y());
        break;
    }
    return moved;
}

QList<QRect> cmcWorkAreas()
{
    QList<QRect> areas;
    const QScreen* primary = QGuiApplication::primaryScreen();
    if (primary)
        areas.append(primary->availableGeometry());
    for (const QScreen* screen : QGuiApplication::screens())
        if (screen != primary)
            areas.append(screen->availableGeometry());
    return areas;
}

QRect cmcPrimaryWorkArea()
{
    const QScreen* primary = QGuiApplication::primaryScreen();
    return primary ? primary->availableGeometry() : QRect();
}

QRect cmcWorkAreaOf(const QWidget& window)
{
    const QWidget& top = *window.window();
    const QScreen* screen = QGuiApplication::screenAt(frameOf(top).center());
    if (!screen)
        screen = top.screen();
    return screen ? screen->availableGeometry() : cmcPrimaryWorkArea();
}

QRect cmcMainWindowWorkArea()
{
    const QWidget* main = cmcMainWindow();
    return main ? cmcWorkAreaOf(*main) : cmcPrimaryWorkArea();
}

void cmcKeepWindowOnScreen(QWidget& window)
{
    const QRect frame = frameOf(window);
    const QRect kept = cmcKeepOnScreen(frame, cmcWorkAreas());
    if (kept != frame)
        window.move(kept.topLeft());
}

void cmcCentreOnOwner(QWidget& window, const QWidget* owner)
{
    if (!owner)
        owner = cmcMainWindow();
    const QRect over = owner ? frameOf(*owner->window()) : cmcMainWindowWorkArea();
    const QRect kept = cmcKeepOnScreen(cmcCentredOn(frameOf(window), over), cmcWorkAreas());
    window.move(kept.topLeft());
}

void cmcPlaceNextTo(QWidget& control, const QWidget& anchor, cmcSide side)
{
    // The anchor's rectangle in the coordinates control is moved in.
    QRect anchorRect(anchor.mapToGlobal(QPoint(0, 0)), anchor.size());
    if (const QWidget* parent = control.parentWidget(); parent && !control.isWindow())
        anchorRect.moveTopLeft(parent->mapFromGlobal(anchorRect.topLeft()));
    control.move(cmcPlacedNextTo(control.geometry(), anchorRect, side).topLeft());
}
