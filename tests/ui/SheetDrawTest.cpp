// Drawing cells: a joined run carries its start's text over the cells it spans, rules take
// their colour from the cell colour, and a printed coloured cell is a dark box.
#include "UiTestBed.h"

#include "ui/cuiGrid.h"

#include <QApplication>
#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <functional>

namespace {

// The grid's visible cells painted into an image of its viewport's size.
QImage paintGrid(cuiSheet& sheet)
{
    cuiGrid& grid = sheet.Grid();
    QImage image(grid.viewport()->size(), QImage::Format_RGB32);
    image.fill(Qt::magenta);
    QPainter painter(&image);
    grid.PaintCells(painter, QRegion(image.rect()));
    return image;
}

bool anyPixel(const QImage& image, const QRect& area, const std::function<bool(QColor)>& test)
{
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (test(image.pixelColor(x, y)))
                return true;
    return false;
}

TEST(SheetDrawTest, RunsRulesAndColours)
{
    UiTestBed bed;
    cuiSheet& sheet = bed.Open("GI_Sheet_Test_Draw");
    const QImage image = paintGrid(sheet);
    cuiGrid& grid = sheet.Grid();
    const QRect joined = grid.CellRect(1, 1);
    const QRect dark = grid.CellRect(2, 1);
    const auto inked = [](QColor c) { return c.lightness() < 128; };
    // The long text of the run start goes on over the joined cell.
    EXPECT_TRUE(anyPixel(image, joined.adjusted(0, 0, 0, -2), inked));
    // Bottom rules: grey under white cells, white under the navy one; a right rule on the
    // navy cell; the navy background with white text.
    EXPECT_EQ(image.pixelColor(joined.center().x(), joined.bottom()), QColor(0x80, 0x80, 0x80));
    EXPECT_EQ(image.pixelColor(dark.center().x(), dark.bottom()), QColor(Qt::white));
    EXPECT_EQ(image.pixelColor(dark.left() + 1, dark.top() + 1), QColor(0, 0, 0x80));
    EXPECT_TRUE(anyPixel(image, dark.adjusted(0, 0, -1, -1), [](QColor c) { return c.lightness() > 200; }));
    // The current cell is highlighted, the others are not.
    const QRect current = grid.CellRect(sheet.CurrentCol(), sheet.CurrentRow());
    EXPECT_EQ(image.pixelColor(current.right() - 1, current.top() + 1),
              QApplication::palette().color(QPalette::Highlight));
}

TEST(SheetDrawTest, PrintedColouredCellIsADarkBoxWithWhiteText)
{
    UiTestBed bed;
    QImage page(800, 600, QImage::Format_RGB32);
    cuiSheet& sheet = bed.Open("GI_Sheet_Test_Draw", [&](cuiSheet& s) { s.SetPrintTarget(&page, nullptr); });
    ASSERT_TRUE(sheet.Printing());
    // The printing engine draws cell by cell.
    QImage image(sheet.Grid().viewport()->size(), QImage::Format_RGB32);
    image.fill(Qt::magenta);
    {
        QPainter painter(&image);
        for (int r = 0; r < sheet.RowCount(); ++r)
            for (int c = 0; c < sheet.ColCount(); ++c)
                sheet.DrawCell(painter, c, r, sheet.Grid().CellRect(c, r));
    }
    const QRect dark = sheet.Grid().CellRect(2, 1);
    EXPECT_EQ(image.pixelColor(dark.left() + 1, dark.top() + 1), QColor(0x60, 0x60, 0x60));
    EXPECT_EQ(image.pixelColor(dark.center().x(), dark.bottom()), QColor(Qt::black)); // printed rules
    // White cells are left unpainted when printing.
    const QRect white = sheet.Grid().CellRect(0, 2);
    EXPECT_EQ(image.pixelColor(white.right() - 1, white.top() + 1), QColor(Qt::magenta));
}

} // namespace
