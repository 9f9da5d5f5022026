#pragma once
// The radio's display font: texts stored in the radio's character set drawn as dot-matrix
// glyphs, 6 dots wide, the way the radio's display shows them. Printable ASCII (32-126)
// comes from a dot font shipped as data (RadioGlyphs.txt: one glyph per block of rows of
// '.' and '#'); the user-defined characters (codes 16-31) come from their dot matrices in
// the memory image (user character records, kind 2); codes the font does not hold are
// drawn as an outlined box.
#include <QColor>
#include <QRectF>

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class QPainter;
class cmcEeprom;

class cuiRadioFont {
public:
    static constexpr int GlyphWidth = 6;
    static constexpr int FirstUserCode = 16;
    static constexpr int UserCodes = 16;

    // The font of the data folder, loaded on first use; a missing or damaged font file is
    // a definition error and stops the program.
    static const cuiRadioFont& Shared();

    // Reads a font file; false (with the reason in error) when it cannot be read or a glyph
    // is malformed.
    bool Load(const std::string& path, std::string& error);
    // Parses the text of a font file.
    bool Parse(std::string_view text, std::string& error);

    // Rows of lit dots of an ASCII glyph (bit 5 the leftmost dot), empty when the font lacks it.
    [[nodiscard]] const std::vector<std::uint8_t>& Rows(int code) const;
    [[nodiscard]] int RowsPerGlyph() const { return rows_; }
    [[nodiscard]] int GlyphCount() const;

    // The dot matrix geometry of the radio's characters for an LCD font size (1 or 2; other
    // values count as 2): height in dots and the top and bottom margins.
    struct Geometry {
        int height = 15;
        int top = 2;
        int bottom = 1;
    };
    [[nodiscard]] static Geometry GeometryOf(int lcdFontSize);

    struct Layout {
        int perLine = 12;  // characters per line
        int maxLines = 1;  // lines drawn at most
        int charCount = 0; // characters the dot size is fitted to (0: the text's own length)
    };
    // Paints bytes into area (top-left aligned, vertically centred) in dots of colour;
    // returns the x just right of the last glyph drawn.
    double Paint(QPainter& painter, const QRectF& area, std::string_view bytes, const Layout& layout,
                 const QColor& colour, const cmcEeprom* image, int lcdFontSize) const;

private:
    int rows_ = 0;
    std::array<std::vector<std::uint8_t>, 128> glyphs_{};
};
