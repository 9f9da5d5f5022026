#include "ui/cuiRadioFont.h"

#include "app/indDataFolder.h"
#include "base/cmcFatal.h"
#include "cells/datCh.h"
#include "cells/datRecordKind.h"
#include "image/cmcEeprom.h"

#include <QPainter>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <sstream>

namespace {
constexpr const char* fontFile = "RadioGlyphs.txt";

std::string_view trimmed(std::string_view line)
{
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\t'))
        line.remove_suffix(1);
    return line;
}
} // namespace

const cuiRadioFont& cuiRadioFont::Shared()
{
    static const cuiRadioFont font = [] {
        cuiRadioFont f;
        std::string error;
        if (!f.Load(indDataFolder() + fontFile, error))
            cmcFatalStop("Radio font error.\n" + error);
        return f;
    }();
    return font;
}

bool cuiRadioFont::Load(const std::string& path, std::string& error)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = "Cannot read '" + path + "'.";
        return false;
    }
    std::ostringstream text;
    text << in.rdbuf();
    return Parse(text.str(), error);
}

// A glyph starts with a line "= <code>" (decimal, or hexadecimal with 0x), followed by its
// rows, each exactly GlyphWidth characters of '.' and '#'; every glyph has the same number
// of rows. Empty lines and other lines beginning with "#" are comments.
bool cuiRadioFont::Parse(std::string_view text, std::string& error)
{
    glyphs_ = {};
    rows_ = 0;
    int code = -1;
    std::vector<std::uint8_t> rows;
    int lineNumber = 0;
    const auto finish = [&]() -> bool {
        if (code < 0)
            return true;
        if (rows.empty()) {
            error = "Glyph " + std::to_string(code) + " has no rows.";
            return false;
        }
        if (rows_ == 0)
            rows_ = static_cast<int>(rows.size());
        if (static_cast<int>(rows.size()) != rows_) {
            error = "Glyph " + std::to_string(code) + " has " + std::to_string(rows.size()) + " rows, not " +
                    std::to_string(rows_) + ".";
            return false;
        }
        glyphs_[static_cast<std::size_t>(code)] = rows;
        rows.clear();
        code = -1;
        return true;
    };
    std::size_t at = 0;
    while (at <= text.size()) {
        const std::size_t end = std::min(text.find('\n', at), text.size());
        const std::string_view line = trimmed(text.substr(at, end - at));
        at = end + 1;
        ++lineNumber;
        if (line.starts_with('=')) {
            if (!finish())
                return false;
            const std::string number(line.substr(1));
            char* stop = nullptr;
            const long value = std::strtol(number.c_str(), &stop, 0);
            if (stop == number.c_str() || value < 32 || value > 126) {
                error = "Line " + std::to_string(lineNumber) + ": not a printable ASCII code.";
                return false;
            }
            code = static_cast<int>(value);
        } else if (code >= 0 && line.size() == GlyphWidth &&
                   line.find_first_not_of(".#") == std::string_view::npos) {
            std::uint8_t bits = 0;
            for (char ch : line)
                bits = static_cast<std::uint8_t>((bits << 1) | (ch == '#' ? 1 : 0));
            rows.push_back(bits);
        } else if (!line.empty() && !line.starts_with('#')) {
            error = "Line " + std::to_string(lineNumber) + ": a glyph row is six characters of '.' and '#'.";
            return false;
        }
        if (end == text.size())
            break;
    }
    if (!finish())
        return false;
    if (rows_ == 0) {
        error = "The font holds no glyph.";
        return false;
    }
    return true;
}

const std::vector<std::uint8_t>& cuiRadioFont::Rows(int code) const
{
    static const std::vector<std::uint8_t> none;
    if (code < 0 || code >= static_cast<int>(glyphs_.size()))
        return none;
    return glyphs_[static_cast<std::size_t>(code)];
}

int cuiRadioFont::GlyphCount() const
{
    return static_cast<int>(
        std::count_if(glyphs_.begin(), glyphs_.end(), [](const auto& g) { return !g.empty(); }));
}

cuiRadioFont::Geometry cuiRadioFont::GeometryOf(int lcdFontSize)
{
    if (lcdFontSize == 1)
        return {17, 2, 3};
    return {15, 2, 1};
}

double cuiRadioFont::Paint(QPainter& painter, const QRectF& area, std::string_view bytes,
                           const Layout& layout, const QColor& colour, const cmcEeprom* image,
                           int lcdFontSize) const
{
    const Geometry geometry = GeometryOf(lcdFontSize);
    const int perLine = std::max(layout.perLine, 1);
    const int count = layout.charCount > 0 ? layout.charCount : static_cast<int>(bytes.size());
    if (count <= 0 || area.width() <= 0 || area.height() <= 0)
        return area.left();
    const int lines = std::clamp((count + perLine - 1) / perLine, 1, std::max(layout.maxLines, 1));
    const int across = std::min(count, perLine);
    const double dot =
        std::min(area.width() / (GlyphWidth * across), area.height() / (geometry.height * lines));
    if (dot <= 0)
        return area.left();
    const double lineHeight = dot * geometry.height;
    const double top = area.top() + (area.height() - lineHeight * lines) / 2;
    // ASCII glyphs fill the rows between the margins; their dots are taller than wide.
    const int inkRows = geometry.height - geometry.top - geometry.bottom;
    const double asciiDotHeight = rows_ > 0 ? dot * inkRows / rows_ : dot;
    // Dots leave a hairline gap once they are large enough to show it, like a display's.
    const double gap = dot >= 3 ? std::max(1.0, dot / 6) : 0;

    const bool antialias = painter.testRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::Antialiasing, false);
    double right = area.left();
    const int shown = std::min(static_cast<int>(bytes.size()), perLine * lines);
    for (int i = 0; i < shown; ++i) {
        const int code = static_cast<unsigned char>(bytes[static_cast<std::size_t>(i)]);
        const double x0 = area.left() + (i % perLine) * GlyphWidth * dot;
        const double y0 = top + (i / perLine) * lineHeight;
        right = std::max(right, x0 + GlyphWidth * dot);
        if (code == ' ')
            continue;
        if (code < 128 && !glyphs_[static_cast<std::size_t>(code)].empty()) {
            const std::vector<std::uint8_t>& rows = glyphs_[static_cast<std::size_t>(code)];
            const double yInk = y0 + geometry.top * dot;
            for (int y = 0; y < rows_; ++y) {
                for (int x = 0; x < GlyphWidth; ++x) {
                    if ((rows[static_cast<std::size_t>(y)] & (0x20 >> x)) != 0)
                        painter.fillRect(
                            QRectF(x0 + x * dot, yInk + y * asciiDotHeight, dot - gap, asciiDotHeight - gap),
                            colour);
                }
            }
        } else if (image != nullptr && code >= FirstUserCode && code < FirstUserCode + UserCodes) {
            datCh record(*image);
            record.decode(datKindUserChar, code - FirstUserCode);
            const std::string dots = record.Text(datField::UcDots);
            const int perColumn = (geometry.height + 7) / 8;
            for (int x = 0; x < GlyphWidth; ++x) {
                for (int y = 0; y < geometry.height; ++y) {
                    const auto index = static_cast<std::size_t>(x * perColumn + y / 8);
                    if (index < dots.size() &&
                        (static_cast<std::uint8_t>(dots[index]) & (0x80 >> (y % 8))) != 0)
                        painter.fillRect(QRectF(x0 + x * dot, y0 + y * dot, dot - gap, dot - gap), colour);
                }
            }
        } else {
            // A code the font does not hold: an outlined box in the ink area.
            const QRectF box(x0 + 0.5 * dot, y0 + geometry.top * dot, 4 * dot, inkRows * dot);
            painter.fillRect(QRectF(box.left(), box.top(), box.width(), dot), colour);
            painter.fillRect(QRectF(box.left(), box.bottom() - dot, box.width(), dot), colour);
            painter.fillRect(QRectF(box.left(), box.top(), dot, box.height()), colour);
            painter.fillRect(QRectF(box.right() - dot, box.top(), dot, box.height()), colour);
        }
    }
    painter.setRenderHint(QPainter::Antialiasing, antialias);
    return right;
}
