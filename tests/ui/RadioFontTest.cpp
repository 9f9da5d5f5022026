// The radio's dot font: the shipped glyph file, its format errors, and glyphs painted dot
// by dot, ASCII from the font and user characters from the memory image.
#include "UiTestBed.h"

#include "cells/datCh.h"
#include "cells/datRecordKind.h"
#include "support/ShippedTexts.h"
#include "ui/cuiRadioFont.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

namespace {

// Dot (x, y) of a picture painted with one pixel per dot.
bool lit(const QImage& image, int x, int y)
{
    return image.pixelColor(x, y) == Qt::black;
}

QImage paint(const std::string& bytes, const cmcEeprom* image)
{
    // Six dots wide, fifteen high per character: a 1:1 picture of the text.
    QImage picture(6 * static_cast<int>(bytes.size()), 15, QImage::Format_RGB32);
    picture.fill(Qt::white);
    QPainter painter(&picture);
    cuiRadioFont::Layout layout;
    layout.perLine = static_cast<int>(bytes.size());
    cuiRadioFont font;
    std::string error;
    EXPECT_TRUE(font.Load(ShippedTexts::ProgramFolder() + "RadioGlyphs.txt", error)) << error;
    font.Paint(painter, QRectF(picture.rect()), bytes, layout, Qt::black, image, 2);
    return picture;
}

TEST(RadioFontTest, ShippedFontHoldsEveryPrintableAsciiCharacter)
{
    cuiRadioFont font;
    std::string error;
    ASSERT_TRUE(font.Load(ShippedTexts::ProgramFolder() + "RadioGlyphs.txt", error)) << error;
    EXPECT_EQ(font.GlyphCount(), 95);
    EXPECT_EQ(font.RowsPerGlyph(), 8);
    for (int code = 33; code <= 126; ++code) {
        const auto& rows = font.Rows(code);
        ASSERT_EQ(rows.size(), 8u) << code;
        EXPECT_TRUE(std::any_of(rows.begin(), rows.end(), [](std::uint8_t r) { return r != 0; })) << code;
        for (std::uint8_t row : rows)
            EXPECT_EQ(row & 1, 0) << "the sixth column stays dark between characters: " << code;
    }
}

TEST(RadioFontTest, MalformedFilesAreRefusedWithTheirLine)
{
    struct Case {
        const char* text;
        const char* error;
    };
    const std::vector<Case> cases{
        {"= 65\n#....#\n......\n= 66\n#.....\n", "Glyph 66 has 1 rows, not 2."},
        {"= 65\n.#..#\n", "Line 2: a glyph row is six characters of '.' and '#'."},
        {"= 65\n= 66\n......\n", "Glyph 65 has no rows."},
        {"= 200\n......\n", "Line 1: not a printable ASCII code."},
        {"# only a comment\n", "The font holds no glyph."},
    };
    for (const Case& c : cases) {
        cuiRadioFont font;
        std::string error;
        EXPECT_FALSE(font.Parse(c.text, error)) << c.text;
        EXPECT_EQ(error, c.error) << c.text;
    }
    cuiRadioFont font;
    std::string error;
    EXPECT_TRUE(font.Parse("# comment\n= 0x41 A\n#.##.#\n\n= 66\n######\n", error)) << error;
    EXPECT_EQ(font.Rows('A'), std::vector<std::uint8_t>{0b101101});
}

TEST(RadioFontTest, AsciiAndUserCharactersArePaintedDotByDot)
{
    UiTestBed bed;
    // User character 0 (code 16): a diagonal from the top-left, one dot per column.
    datCh record(bed.Image());
    record.decode(datKindUserChar, 0);
    std::string dots(24, '\0');
    for (int x = 0; x < 6; ++x)
        dots[static_cast<std::size_t>(x * 2)] = static_cast<char>(0x80 >> x);
    record.SetText(datField::UcDots, dots);
    record.encode(datKindUserChar, 0);

    const QImage picture = paint(std::string("I") + '\x10', &bed.Image());
    // 'I': the glyph's eight rows fill the twelve rows between the margins (rows 2 to 13).
    EXPECT_TRUE(lit(picture, 1, 2) && lit(picture, 2, 2) && lit(picture, 3, 2)); // the top bar
    EXPECT_FALSE(lit(picture, 0, 2));
    EXPECT_TRUE(lit(picture, 2, 7));
    EXPECT_FALSE(lit(picture, 1, 7));
    EXPECT_FALSE(lit(picture, 2, 0)); // the top margin stays dark
    for (int x = 0; x < 6; ++x) {
        for (int y = 0; y < 8; ++y)
            EXPECT_EQ(lit(picture, 6 + x, y), x == y) << x << "," << y;
    }
}

} // namespace
