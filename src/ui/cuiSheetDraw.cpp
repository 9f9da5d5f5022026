// cuiSheet: drawing a cell (runs of joined cells, highlight, rules, text layout, the radio's
// glyphs, warning and error marks) and the derived highlight colours.
#include "base/cmcGTex.h"
#include "cells/CellHost.h"
#include "cells/clLogic.h"
#include "cells/cmcCodecs.h"
#include "cells/indDocument.h"
#include "ui/cuiCellEditor.h"
#include "ui/cuiCellStyle.h"
#include "ui/cuiGrid.h"
#include "ui/cuiImageList.h"
#include "ui/cuiRadioFont.h"
#include "ui/cuiSheet.h"

#include <QApplication>
#include <QFontMetricsF>
#include <QPainter>
#include <QPolygon>

#include <algorithm>
#include <cmath>

namespace {
constexpr std::uint32_t darkPrintColour = 0x00606060;
constexpr std::uint32_t ruleGrey = 0x00808080;

bool isWhiteish(std::uint32_t colour)
{
    return colour == cuiCellStyle::clWindow || colour == cuiCellStyle::White;
}

// Channel per channel: (a * wa + b * wb + round) >> shift.
QColor blend(const QColor& a, int wa, const QColor& b, int wb, int round, int shift)
{
    return {(a.red() * wa + b.red() * wb + round) >> shift,
            (a.green() * wa + b.green() * wb + round) >> shift,
            (a.blue() * wa + b.blue() * wb + round) >> shift};
}
} // namespace

void cuiSheet::updateHighlightColours()
{
    const QPalette palette = QApplication::palette();
    const QColor text = palette.color(QPalette::Text);
    const QColor window = palette.color(QPalette::Base);
    const QColor face = palette.color(QPalette::Button);
    if (text == baseText_ && window == baseWindow_ && face == baseFace_)
        return;
    baseText_ = text;
    baseWindow_ = window;
    baseFace_ = face;
    selectLineColour_ = blend(text, 1, window, 7, 4, 3);
    inactiveHighlight_ = blend(text, 1, window, 3, 2, 2);
}

void cuiSheet::GridDrawCell(QPainter& painter, int col, int row, const QRect& rect)
{
    DrawCell(painter, col, row, rect);
}

void cuiSheet::DrawCell(QPainter& painter, int col, int row, const QRect& rect)
{
    if (building_ || cells_.empty() || rect.width() < 1 || rect.height() < 1)
        return;
    updateHighlightColours();
    const bool printing = Printing();
    const double s = printScale_;
    clsSheetCellId& entry = CellAt(col, row);
    const cmcCellObj& cell = entry.cell;

    // Right rule: not into a joined neighbour, and only when something follows.
    bool laterWidth = false;
    for (int c = col + 1; c < cols_ && !laterWidth; ++c)
        laterWidth = grid_->ColWidth(c) > 0;
    const bool rightRule =
        laterWidth && !(col + 1 < cols_ && (CellAt(col + 1, row).cell.layout & cmcCellObj::Joined) != 0);

    // The run of joined cells this cell belongs to: its start owns text, colour and logic.
    int textLeft = rect.left();
    int textRight = rect.left() + rect.width();
    for (int c = col + 1; c < cols_ && (CellAt(c, row).cell.layout & cmcCellObj::Joined) != 0; ++c)
        textRight += grid_->ColWidth(c);
    int runStart = col;
    if ((cell.layout & cmcCellObj::Joined) != 0) {
        while (runStart > 0 && (CellAt(runStart, row).cell.layout & cmcCellObj::Joined) != 0) {
            --runStart;
            textLeft -= grid_->ColWidth(runStart);
        }
    }
    cmcCellObj& start = CellAt(runStart, row).cell;
    const QRect textRect(textLeft, rect.top(), textRight - textLeft, rect.height());

    const int current = grid_->Col();
    const int currentRow = grid_->Row();
    bool highlighted = (entry.multiSelectable && (entry.selected || entry.rowMarked)) ||
                       (col == current && row == currentRow);
    if (!highlighted && (start.marks & cmcCellObj::Tail) != 0 && row == currentRow) {
        int owner = runStart - 1;
        while (owner >= 0 && (CellAt(owner, row).cell.marks & cmcCellObj::Tail) != 0)
            --owner;
        highlighted = owner >= 0 && owner == current && CellAt(owner, row).cell.IsStop();
    }

    // Background.
    bool dark = false;
    bool onHighlight = false;
    bool onInactive = false;
    if (printing) {
        dark = !isWhiteish(start.colour);
        if (dark)
            painter.fillRect(rect, cuiCellStyle::Colour(darkPrintColour));
    } else {
        QColor background;
        if (!highlighted || EditorShown()) {
            if (colorSelectLine_ && row == currentRow && col >= grid_->FixedCols() && !popupMode_)
                background = selectLineColour_;
            else
                background = cuiCellStyle::Colour(start.colour);
        } else {
            if (grid_->hasFocus() || popupMode_) {
                background = cuiCellStyle::Colour(cuiCellStyle::clHighlight);
                onHighlight = true;
            } else {
                background = inactiveHighlight_;
                onInactive = true;
            }
            wheelDirection_ = 0;
            if (start.logic == clIndex(clLogic::CL_CloneInfo_Dummy)) {
                background = Qt::white;
                onHighlight = onInactive = false;
            }
        }
        painter.fillRect(rect, background);
    }

    // Rules.
    const QColor ruleColour =
        printing ? QColor(Qt::black)
                 : cuiCellStyle::Colour(isWhiteish(start.colour) ? ruleGrey : cuiCellStyle::White);
    const int right = rect.left() + rect.width() - 1;
    const int bottom = rect.top() + rect.height() - 1;
    if ((cell.layout & cmcCellObj::BottomRule) != 0)
        painter.fillRect(QRect(rect.left(), bottom, rect.width(), 1), ruleColour);
    if (rightRule) {
        const int rule = cell.marks & cmcCellObj::RightRuleMask;
        if (rule == 1)
            painter.fillRect(QRect(right, rect.top(), 1, rect.height()), ruleColour);
        else if (rule == 2) {
            const int from = rect.top() + (rect.height() * 7) / 10;
            painter.fillRect(QRect(right, from, 1, bottom - from + 1), ruleColour);
        }
    }

    // Font and its colour.
    const cmcCellFont* fontSpec = start.EffectiveFont();
    if (fontSpec == nullptr)
        fontSpec = basicCell_.EffectiveFont();
    const QFont font = cuiCellStyle::Font(fontSpec, printing ? s : 1.0);
    std::uint32_t fontColour =
        onHighlight ? cuiCellStyle::clHighlightText : cuiCellStyle::FontColour(fontSpec);

    // The text, through the cell handler when the run start has a logic.
    std::string text = start.DisplayText();
    cmcCellCapsule& capsule = paintCapsule_;
    capsule.Reset();
    bool painted = false;
    if (start.HasLogic()) {
        if (text.empty())
            text.assign(1, ' ');
        capsule.source = source_.get();
        capsule.cell = &start;
        capsule.drawing = true;
        capsule.images = const_cast<cuiImageList*>(images_);
        capsule.rect = {textRect.left(), textRect.top(), textRect.width(), textRect.height()};
        capsule.state = static_cast<std::uint8_t>((highlighted ? cmcCellCapsule::Current : 0) |
                                                  (printing ? cmcCellCapsule::Printing : 0));
        callHandler(capsule, ModePaint);
        text = capsule.output;
        if (capsule.fontColour)
            fontColour = *capsule.fontColour;
    }
    QColor penColour;
    if (printing) {
        penColour = dark ? Qt::white : Qt::black;
    } else {
        if (onInactive && (fontColour == cuiCellStyle::clBtnFace || fontColour == cuiCellStyle::Silver ||
                           fontColour == cuiCellStyle::clGrayText ||
                           fontColour == cuiCellStyle::Encode(inactiveHighlight_)))
            fontColour = cuiCellStyle::clWindow;
        penColour = cuiCellStyle::Colour(fontColour);
    }

    // Layout and text.
    const int tLeft = textRect.left();
    const int tTop = textRect.top();
    const int tRight = textRect.left() + textRect.width();
    const int tBottom = textRect.top() + textRect.height();
    double penX = tLeft;
    if (capsule.paintAs == cmcPaint::Custom && cellPainter_) {
        cellPainter_(painter, textRect, capsule, penColour);
        painted = true;
    } else if (capsule.paintAs == cmcPaint::RadioText) {
        const std::string bytes = cmcUnescapeText(text);
        const int inset = static_cast<int>(4 * s + 0.5);
        const QRectF area(tLeft + inset, tTop + 1, std::max(textRect.width() - 2 * inset, 1),
                          std::max(textRect.height() - 2, 1));
        const indDocument& document = host_.Document();
        cuiRadioFont::Layout layout;
        layout.maxLines = 2;
        penX = cuiRadioFont::Shared().Paint(painter, area, bytes, layout, penColour, &document.Working(),
                                            document.LcdFontSize());
        painted = true;
    }
    if (!painted && !text.empty()) {
        painter.setFont(font);
        painter.setPen(penColour);
        const QFontMetricsF metrics(font, painter.device());
        const QStringList lines = QString::fromStdString(text).split('\n');
        double width = 0;
        for (const QString& line : lines)
            width = std::max(width, metrics.horizontalAdvance(line));
        const double lineHeight = metrics.height();
        const double height = lineHeight * lines.size();
        int y = 0;
        switch (start.VerticalAlignment()) {
        case 1:
            y = tTop + static_cast<int>((tBottom + 1 - tTop - height) / 2);
            break;
        case 2:
            y = static_cast<int>(tBottom + 1 - tTop - height - s - 1 + 0.5 + tTop);
            break;
        default:
            y = static_cast<int>(tTop + s + 0.5);
            break;
        }
        for (const QString& line : lines) {
            const double w = metrics.horizontalAdvance(line);
            int x = 0;
            switch (start.HorizontalAlignment()) {
            case 1:
                x = tLeft + static_cast<int>((tRight + 1 - tLeft - w) / 2);
                break;
            case 2:
                x = static_cast<int>(tRight + 1 - tLeft - w - 4 * s + 0.5 + tLeft);
                break;
            default:
                x = static_cast<int>(tLeft + 4 * s + 0.5);
                break;
            }
            x = std::max(x, tLeft);
            painter.drawText(QPointF(x, y + metrics.ascent()), line);
            penX = tLeft + w + 1 < tRight ? x + w : tRight;
            y += static_cast<int>(lineHeight);
        }
    }

    if ((capsule.state & (cmcCellCapsule::Warning | cmcCellCapsule::Error)) != 0)
        drawMark(painter, rect, capsule, start.HorizontalAlignment() == 2, static_cast<int>(penX));
    capsule.state &= static_cast<std::uint8_t>(~(cmcCellCapsule::Warning | cmcCellCapsule::Error));
}

void cuiSheet::drawMark(QPainter& painter, const QRect& rect, const cmcCellCapsule& capsule,
                        bool rightAligned, int penX)
{
    if (images_ == nullptr)
        return;
    const bool printing = Printing();
    const bool error = capsule.IsError();
    const QPixmap& image = images_->At(error ? cuiImageList::ErrorImage : cuiImageList::WarningImage);
    const int m = printing ? rect.height() / 2 : image.width();
    const int h8 = m / 8;
    const int rectRight = rect.left() + rect.width();
    const int rectBottom = rect.top() + rect.height();
    int position = capsule.markPos;
    if (position == 0)
        position = rightAligned ? 1 : 3;
    const int atRight = std::max(rectRight - m - 1, rect.left());
    int x = atRight;
    if (position == 1)
        x = rect.left() + h8;
    else if (position == 3)
        x = penX < rectRight - m - 1 ? penX : atRight;
    if (!printing) {
        painter.drawPixmap(x, rectBottom - image.height() - 1, image);
        return;
    }
    drawPrintedMark(painter, x, rectBottom - m - h8, m, error);
}

void cuiSheet::drawPrintedMark(QPainter& painter, int x, int y, int m, bool error)
{
    const int h8 = m / 8;
    const int j = m / 2;
    const int k = m - 1;
    painter.save();
    painter.translate(x, y);
    if (error) {
        const QPolygon cross({QPoint(h8, 0), QPoint(j, j - h8), QPoint(k - h8, 0), QPoint(k, h8),
                              QPoint(j + h8, j), QPoint(k, k - h8), QPoint(k - h8, k), QPoint(j, j + h8),
                              QPoint(h8, k), QPoint(0, k - h8), QPoint(j - h8, j), QPoint(0, h8)});
        painter.setPen(Qt::NoPen);
        painter.setBrush(Qt::black);
        painter.drawPolygon(cross);
    } else {
        painter.setPen(QPen(Qt::black, m / 16 + 1));
        painter.setBrush(Qt::white);
        painter.drawPolygon(QPolygon({QPoint(j, 0), QPoint(k, k), QPoint(0, k)}));
        painter.setPen(Qt::NoPen);
        painter.setBrush(Qt::black);
        painter.drawPolygon(QPolygon({QPoint(j - h8, m / 3), QPoint(j + h8, m / 3),
                                      QPoint(j + m / 10, 2 * m / 3), QPoint(j - m / 10, 2 * m / 3)}));
        painter.drawRect(QRect(QPoint(j - m / 10, 3 * m / 4), QPoint(j + m / 10, 3 * m / 4 + m / 6)));
    }
    painter.restore();
}
