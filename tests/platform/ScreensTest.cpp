#include "platform/cmcMainWindow.h"
#include "platform/cmcScreens.h"

#include <QWidget>

#include <gtest/gtest.h>

namespace {
// A wide primary monitor and a smaller one to its right, both with a task bar at the bottom.
const QRect primary(0, 0, 1920, 1040);
const QRect second(1920, 0, 1280, 984);

struct KeepCase {
    const char* name;
    QRect window;
    QList<QRect> areas;
    QPoint expected;
};
} // namespace

TEST(ScreensTest, KeepOnScreenRule)
{
    const QList<QRect> both{primary, second};
    const KeepCase cases[] = {
        {"inside", {100, 100, 800, 600}, both, {100, 100}},
        {"touching the far corner", {1120, 440, 800, 600}, both, {1120, 440}},
        {"off the left edge", {-50, 100, 800, 600}, both, {0, 100}},
        {"below the task bar", {100, 900, 800, 600}, both, {100, 440}},
        {"off the top and left", {-30, -20, 800, 600}, both, {0, 0}},
        {"across both monitors, corners shown", {1500, 100, 800, 600}, both, {1500, 100}},
        // Bottom-right corner below the shorter monitor: back into the one it overlaps most.
        {"across both monitors, corner in the gap", {1500, 500, 800, 600}, both, {1120, 440}},
        {"mostly on the second monitor", {1800, 500, 800, 600}, both, {1920, 384}},
        {"on no monitor: the nearest", {5000, 100, 800, 600}, both, {2400, 100}},
        {"on no monitor, left of both", {-2000, 2000, 800, 600}, both, {0, 440}},
        {"wider and taller than the area", {-100, -100, 2500, 1200}, {primary}, {0, 0}},
        {"taller only", {200, 50, 600, 2000}, {primary}, {200, 0}},
        {"no monitors known", {-100, -100, 50, 50}, {}, {-100, -100}},
    };
    for (const KeepCase& c : cases) {
        const QRect kept = cmcKeepOnScreen(c.window, c.areas);
        EXPECT_EQ(kept.topLeft(), c.expected) << c.name << ": got " << kept.x() << "," << kept.y();
        EXPECT_EQ(kept.size(), c.window.size()) << c.name;
    }
}

TEST(ScreensTest, CentringAndPlacingNextToAnother)
{
    // Odd differences truncate towards zero, also when the window is larger than its owner.
    EXPECT_EQ(cmcCentredOn({0, 0, 101, 51}, {10, 20, 200, 100}), QRect(59, 44, 101, 51));
    EXPECT_EQ(cmcCentredOn({7, 7, 301, 151}, {0, 0, 200, 100}), QRect(-50, -25, 301, 151));

    const QRect anchor(50, 40, 80, 20);
    const QRect control(0, 0, 30, 10);
    EXPECT_EQ(cmcPlacedNextTo(control, anchor, cmcSide::Below), QRect(50, 67, 30, 10));
    EXPECT_EQ(cmcPlacedNextTo(control, anchor, cmcSide::Left), QRect(13, 40, 30, 10));
    EXPECT_EQ(cmcPlacedNextTo(control, anchor, cmcSide::Right), QRect(137, 40, 30, 10));
}

TEST(ScreensTest, WindowsAreCentredOnTheirOwnerAndKeptOnTheScreen)
{
    const QRect area = cmcPrimaryWorkArea();
    ASSERT_TRUE(area.isValid());
    EXPECT_EQ(cmcWorkAreas().value(0), area);
    EXPECT_EQ(cmcMainWindowWorkArea(), area); // no main window registered

    QWidget owner;
    owner.setGeometry(area.x() + 20, area.y() + 30, 400, 300);
    QWidget dialog;
    dialog.resize(200, 100);
    cmcCentreOnOwner(dialog, &owner);
    EXPECT_EQ(dialog.frameGeometry().center(), owner.frameGeometry().center());

    // Centred over an owner at the bottom-right corner it would hang off the screen.
    owner.move(area.right() - 100, area.bottom() - 100);
    cmcSetMainWindow(&owner);
    cmcCentreOnOwner(dialog); // the main window is the owner
    cmcSetMainWindow(nullptr);
    EXPECT_TRUE(area.contains(dialog.frameGeometry()));
    EXPECT_EQ(dialog.frameGeometry().bottomRight(), area.bottomRight());

    QWidget parent;
    QWidget first(&parent);
    QWidget next(&parent);
    first.setGeometry(11, 11, 120, 24);
    next.resize(75, 24);
    cmcPlaceNextTo(next, first, cmcSide::Below);
    EXPECT_EQ(next.pos(), QPoint(11, 42));
    cmcPlaceNextTo(next, first, cmcSide::Right);
    EXPECT_EQ(next.pos(), QPoint(138, 11));
}
