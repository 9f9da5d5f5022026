#include "ui/cuiCellStyle.h"

#include <QApplication>
#include <QPalette>

#include <cmath>

QColor cuiCellStyle::Colour(std::uint32_t value)
{
    if ((value & 0xFF000000u) == 0) {
        return {static_cast<int>(value & 0xFF), static_cast<int>((value >> 8) & 0xFF),
                static_cast<int>((value >> 16) & 0xFF)};
    }
    const QPalette palette = QApplication::palette();
    switch (value & 0xFF) {
    case 1:  // clBackground
    case 12: // clAppWorkSpace
    case 16: // clBtnShadow
        return palette.color(QPalette::Dark);
    case 2: // clActiveCaption
    case 13:
        return palette.color(QPalette::Highlight);
    case 3: // clInactiveCaption
        return palette.color(QPalette::Mid);
    case 5:
        return palette.color(QPalette::Base);
    case 6: // clWindowFrame
        return palette.color(QPalette::Shadow);
    case 7: // clMenuText
        return palette.color(QPalette::WindowText);
    case 8:
    case 19: // clInactiveCaptionText
        return palette.color(QPalette::Text);
    case 9: // clCaptionText
    case 14:
        return palette.color(QPalette::HighlightedText);
    case 17:
        return palette.color(QPalette::Disabled, QPalette::Text);
    case 18:
        return palette.color(QPalette::ButtonText);
    case 20: // clBtnHighlight
        return palette.color(QPalette::Light);
    case 4: // clMenu
        return palette.color(QPalette::Window);
    default: // scroll bar, borders, button face
        return palette.color(QPalette::Button);
    }
}

QFont cuiCellStyle::Font(const cmcCellFont* font, double scale)
{
    QFont result = QApplication::font();
    if (font == nullptr)
        return result;
    if (!font->face.empty())
        result.setFamily(QString::fromStdString(font->face));
    if (font->height != 0)
        result.setPixelSize(std::max(1, static_cast<int>(std::lround(std::abs(font->height) * scale))));
    else if (font->size > 0)
        result.setPointSizeF(font->size * scale);
    result.setBold((font->style & 1) != 0);
    result.setItalic((font->style & 2) != 0);
    result.setUnderline((font->style & 4) != 0);
    result.setStrikeOut((font->style & 8) != 0);
    if (font->pitch == 1)
        result.setFixedPitch(true);
    return result;
}

std::uint32_t cuiCellStyle::Encode(const QColor& colour)
{
    return static_cast<std::uint32_t>(colour.red()) | (static_cast<std::uint32_t>(colour.green()) << 8) |
           (static_cast<std::uint32_t>(colour.blue()) << 16);
}
