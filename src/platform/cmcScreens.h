#pragma once
// Monitor work areas (the desktop without task bars and docks) and the window placement
// rules. The rules are pure functions over frame rectangles in screen pixels, so they hold
// without any screen; the widget helpers apply them to real windows.
#include <QList>
#include <QRect>

class QWidget;

// Pixels between a control and the one it is placed next to.
inline constexpr int cmcControlGap = 7;

enum class cmcSide { Below, Left, Right };

// The keep-on-screen rule. A window whose four corners each lie in some work area stays
// where it is (it may span monitors). Otherwise it is moved, keeping its size, into the work
// area of its own monitor: the area it overlaps most, or the nearest one when it overlaps
// none (ties go to the earlier area; callers list the primary monitor first). A window
// wider or taller than that area is put against the area's left or top edge, so its title
// bar stays reachable.
[[nodiscard]] QRect cmcKeepOnScreen(const QRect& window, const QList<QRect>& workAreas);
// window moved so that its centre lies on owner's centre (halves truncated towards zero).
[[nodiscard]] QRect cmcCentredOn(const QRect& window, const QRect& owner);
// control moved next to anchor, cmcControlGap pixels away: below it (left edges aligned),
// or left or right of it (top edges aligned).
[[nodiscard]] QRect cmcPlacedNextTo(const QRect& control, const QRect& anchor, cmcSide side);

// Work areas of all monitors, the primary first; empty without a window system.
[[nodiscard]] QList<QRect> cmcWorkAreas();
[[nodiscard]] QRect cmcPrimaryWorkArea();
// The work area of the monitor holding the window's centre.
[[nodiscard]] QRect cmcWorkAreaOf(const QWidget& window);
// The work area of the registered main window's monitor; the primary one without it.
[[nodiscard]] QRect cmcMainWindowWorkArea();

// Applies the keep-on-screen rule to a top-level window.
void cmcKeepWindowOnScreen(QWidget& window);
// Centres a top-level window over owner (the registered main window when owner is null;
// the main window's work area when there is none either), then keeps it on screen.
void cmcCentreOnOwner(QWidget& window, const QWidget* owner = nullptr);
// Moves control next to anchor (both child widgets, of the same or different parents).
void cmcPlaceNextTo(QWidget& control, const QWidget& anchor, cmcSide side);
