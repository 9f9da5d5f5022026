#include "ui/cuiIcons.h"

#include <QFont>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

#include <algorithm>
#include <array>
#include <cmath>
#include <functional>

namespace {

constexpr std::array<std::string_view, 13> treeNames{
    "imgIcon_Tree_Rig",    "imgIcon_Tree_Folder01", "imgIcon_Tree_Note01",   "imgIcon_Tree_Note02",
    "imgIcon_Tree_Bank0",  "imgIcon_Tree_Bank1",    "imgIcon_Tree_Bank2",    "imgIcon_Tree_Bank3",
    "imgIcon_Tree_Bank4",  "imgIcon_Tree_Bank5",    "imgIcon_Tree_WarnW_RB", "imgIcon_Tree_WarnE_RB",
    "imgIcon_ADJTree_Rig",
};

constexpr std::array<std::string_view, 21> toolBarNames{
    "imgIcon_Bar_File_New",    "imgIcon_Bar_File_Open",     "imgIcon_Bar_File_Save", "imgIcon_Bar_Com1",
    "imgIcon_Bar_Com2",        "imgIcon_Bar_Com3",          "imgIcon_Bar_Com4",      "imgIcon_Bar_Clone_Read",
    "imgIcon_Bar_Clone_Write", "imgIcon_Bar_Clone_Info",    "imgIcon_Bar_Pcg_Pen",   "imgIcon_Bar_Pcg_Fill",
    "imgIcon_Bar_Pcg_Slider",  "imgIcon_Bar_Flash_Write",   "imgIcon_ADJTree_Rig",   "imgIcon_Bar_AdjCheck",
    "imgIcon_Bar_Page_Top",    "imgIcon_Bar_Page_Previous", "imgIcon_Bar_Page_Next", "imgIcon_Bar_Page_Last",
    "imgIcon_Bar_Page_Zoom",
};

const QColor outline(48, 48, 48);

// A handheld radio: antenna, body, display and keys.
void radio(QPainter& p, double x, double y, double scale = 1.0)
{
    p.save();
    p.translate(x, y);
    p.scale(scale, scale);
    p.setPen(QPen(outline, 1.2));
    p.drawLine(QPointF(5, 0.5), QPointF(5, 4));
    p.setBrush(QColor(70, 74, 82));
    p.drawRoundedRect(QRectF(3, 3.5, 8, 11.5), 1.5, 1.5);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(150, 220, 150));
    p.drawRect(QRectF(4.5, 5.5, 5, 3));
    p.setBrush(QColor(210, 210, 210));
    for (int row = 0; row < 2; ++row) {
        for (int col = 0; col < 3; ++col)
            p.drawRect(QRectF(4.5 + col * 1.8, 10 + row * 2, 1.2, 1.2));
    }
    p.restore();
}

void folder(QPainter& p, bool open)
{
    p.setPen(QPen(QColor(140, 100, 0), 1));
    p.setBrush(QColor(240, 200, 80));
    p.drawPolygon(QPolygonF({QPointF(1.5, 3.5), QPointF(6, 3.5), QPointF(7.5, 5), QPointF(14.5, 5),
                             QPointF(14.5, 13.5), QPointF(1.5, 13.5)}));
    if (open) {
        p.setBrush(QColor(255, 225, 120));
        p.drawPolygon(
            QPolygonF({QPointF(3.5, 7.5), QPointF(15.5, 7.5), QPointF(13.5, 13.5), QPointF(1.5, 13.5)}));
    }
}

// A page with a folded corner; lines of text in colour lines (none: blank).
void page(QPainter& p, const QColor& lines)
{
    p.setPen(QPen(outline, 1));
    p.setBrush(Qt::white);
    p.drawPolygon(QPolygonF(
        {QPointF(3.5, 1.5), QPointF(10, 1.5), QPointF(13.5, 5), QPointF(13.5, 14.5), QPointF(3.5, 14.5)}));
    p.drawPolyline(QPolygonF({QPointF(10, 1.5), QPointF(10, 5), QPointF(13.5, 5)}));
    if (!lines.isValid())
        return;
    p.setPen(QPen(lines, 1));
    for (int i = 0; i < 4; ++i)
        p.drawLine(QPointF(5.5, 7.5 + 2 * i), QPointF(11.5, 7.5 + 2 * i));
}

// A memory bank: a card in colour, its rows filled when the bank holds channels.
void bank(QPainter& p, const QColor& colour, bool withChannels)
{
    p.setPen(QPen(colour.darker(160), 1));
    p.setBrush(colour.lighter(170));
    p.drawRoundedRect(QRectF(1.5, 2.5, 13, 11), 1.5, 1.5);
    p.setPen(Qt::NoPen);
    p.setBrush(withChannels ? colour : colour.lighter(140));
    for (int i = 0; i < 3; ++i) {
        const double width = withChannels ? 9 : 3;
        p.drawRect(QRectF(3.5, 4.5 + 3 * i, width, 1.8));
    }
}

void arrow(QPainter& p, QPointF from, QPointF to, const QColor& colour)
{
    p.setPen(QPen(colour, 2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(from, to);
    const QPointF d = to - from;
    const double length = std::max(0.001, std::hypot(d.x(), d.y()));
    const QPointF u(d.x() / length, d.y() / length);
    const QPointF n(-u.y(), u.x());
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawPolygon(QPolygonF({to + u * 1.5, to - u * 3 + n * 3, to - u * 3 - n * 3}));
}

void connector(QPainter& p, int number)
{
    p.setPen(QPen(outline, 1));
    p.setBrush(QColor(180, 190, 205));
    p.drawPolygon(QPolygonF({QPointF(0.5, 1.5), QPointF(15.5, 1.5), QPointF(13.5, 7.5), QPointF(2.5, 7.5)}));
    p.setPen(Qt::NoPen);
    p.setBrush(outline);
    for (int i = 0; i < 5; ++i)
        p.drawEllipse(QPointF(3.5 + 2.2 * i, 3.6), 0.7, 0.7);
    for (int i = 0; i < 4; ++i)
        p.drawEllipse(QPointF(4.6 + 2.2 * i, 5.6), 0.7, 0.7);
    QFont font;
    font.setPixelSize(8);
    font.setBold(true);
    p.setFont(font);
    p.setPen(QColor(0, 70, 160));
    p.drawText(QRectF(0, 8, 16, 8), Qt::AlignCenter, QString::number(number));
}

void information(QPainter& p)
{
    p.setPen(QPen(QColor(0, 60, 150), 1));
    p.setBrush(QColor(40, 110, 210));
    p.drawEllipse(QRectF(1.5, 1.5, 13, 13));
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(8, 4.8), 1.2, 1.2);
    p.drawRect(QRectF(7, 7, 2, 5.5));
}

void pen(QPainter& p)
{
    p.setPen(QPen(outline, 1));
    p.setBrush(QColor(240, 190, 60));
    p.drawPolygon(QPolygonF(
        {QPointF(11, 1.5), QPointF(14.5, 5), QPointF(5, 14.5), QPointF(1.5, 14.5), QPointF(1.5, 11)}));
    p.setBrush(outline);
    p.drawPolygon(QPolygonF({QPointF(1.5, 11), QPointF(5, 14.5), QPointF(1.5, 14.5)}));
}

void fill(QPainter& p)
{
    p.setPen(QPen(outline, 1));
    p.setBrush(QColor(200, 200, 210));
    p.drawPolygon(QPolygonF({QPointF(6, 2), QPointF(12.5, 8.5), QPointF(7.5, 13.5), QPointF(1, 7)}));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(30, 120, 220));
    p.drawPolygon(QPolygonF({QPointF(1, 7), QPointF(12.5, 8.5), QPointF(7.5, 13.5)}));
    p.drawEllipse(QRectF(12.5, 10, 3, 4.5));
}

void slider(QPainter& p)
{
    p.setPen(QPen(outline, 1.5));
    p.drawLine(QPointF(1.5, 8), QPointF(14.5, 8));
    p.setPen(QPen(outline, 1));
    p.setBrush(QColor(90, 150, 230));
    p.drawRect(QRectF(6.5, 3.5, 3, 9));
}

void flash(QPainter& p)
{
    p.setPen(QPen(QColor(150, 100, 0), 1));
    p.setBrush(QColor(255, 210, 0));
    p.drawPolygon(QPolygonF({QPointF(9.5, 0.5), QPointF(3, 9), QPointF(7.5, 9), QPointF(5.5, 15.5),
                             QPointF(13, 6), QPointF(8.5, 6)}));
}

void adjustmentRadio(QPainter& p)
{
    radio(p, -1, 0);
    p.setPen(QPen(QColor(200, 40, 40), 2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(10, 14), QPointF(14.5, 9.5));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(200, 40, 40));
    p.drawEllipse(QPointF(14, 10), 1.8, 1.8);
}

void checkMark(QPainter& p)
{
    p.setPen(QPen(outline, 1));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(1.5, 1.5, 13, 13));
    p.setPen(QPen(QColor(0, 150, 40), 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPolyline(QPolygonF({QPointF(4, 8), QPointF(7, 11.5), QPointF(12.5, 4)}));
}

// Page navigation: triangles pointing left (-1) or right (1), with a bar at the far end.
void pageStep(QPainter& p, int direction, int triangles, bool bar)
{
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(30, 80, 170));
    const double width = 5.5;
    const double total = width * triangles + (bar ? 2.5 : 0);
    double x = 8 - total / 2;
    auto triangle = [&](double left) {
        if (direction > 0)
            p.drawPolygon(QPolygonF({QPointF(left, 3), QPointF(left + width, 8), QPointF(left, 13)}));
        else
            p.drawPolygon(QPolygonF({QPointF(left + width, 3), QPointF(left, 8), QPointF(left + width, 13)}));
    };
    if (bar && direction < 0) {
        p.drawRect(QRectF(x, 3, 2, 10));
        x += 2.5;
    }
    for (int i = 0; i < triangles; ++i) {
        triangle(x);
        x += width;
    }
    if (bar && direction > 0)
        p.drawRect(QRectF(x + 0.5, 3, 2, 10));
}

void zoom(QPainter& p)
{
    p.setPen(QPen(outline, 1.5));
    p.setBrush(QColor(210, 235, 255));
    p.drawEllipse(QRectF(1.5, 1.5, 9, 9));
    p.setPen(QPen(outline, 2.5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(9.5, 9.5), QPointF(14, 14));
}

using Painter = std::function<void(QPainter&)>;

Painter painterFor(std::string_view name)
{
    const QColor plain(60, 110, 200);
    const QColor first(40, 160, 70);
    const QColor second(220, 120, 20);
    if (name == "imgIcon_Tree_Rig")
        return [](QPainter& p) { radio(p, 1, 0.5); };
    if (name == "imgIcon_Tree_Folder01")
        return [](QPainter& p) { folder(p, false); };
    if (name == "imgIcon_Tree_Note01")
        return [](QPainter& p) { page(p, QColor(110, 110, 110)); };
    if (name == "imgIcon_Tree_Note02")
        return [](QPainter& p) { page(p, QColor(40, 110, 210)); };
    if (name.starts_with("imgIcon_Tree_Bank") && name.size() == 18) {
        const int n = name.back() - '0';
        const QColor colour = n < 2 ? plain : n < 4 ? first : second;
        const bool withChannels = n % 2 == 1;
        return [colour, withChannels](QPainter& p) { bank(p, colour, withChannels); };
    }
    if (name == "imgIcon_ADJTree_Rig")
        return adjustmentRadio;
    if (name == "imgIcon_Bar_File_New")
        return [](QPainter& p) { page(p, QColor()); };
    if (name == "imgIcon_Bar_File_Open")
        return [](QPainter& p) { folder(p, true); };
    if (name == "imgIcon_Bar_File_Save") {
        return [](QPainter& p) {
            p.setPen(QPen(outline, 1));
            p.setBrush(QColor(50, 80, 150));
            p.drawRect(QRectF(1.5, 1.5, 13, 13));
            p.setBrush(Qt::white);
            p.drawRect(QRectF(4.5, 1.5, 7, 5));
            p.setBrush(QColor(200, 200, 200));
            p.drawRect(QRectF(3.5, 9.5, 9, 5));
        };
    }
    if (name.starts_with("imgIcon_Bar_Com") && name.size() == 16) {
        const int n = name.back() - '0';
        return [n](QPainter& p) { connector(p, n); };
    }
    if (name == "imgIcon_Bar_Clone_Read") {
        return [](QPainter& p) {
            radio(p, -1, 1);
            arrow(p, QPointF(9, 4), QPointF(14, 12), QColor(20, 100, 210));
        };
    }
    if (name == "imgIcon_Bar_Clone_Write") {
        return [](QPainter& p) {
            radio(p, -1, 1);
            arrow(p, QPointF(15, 12), QPointF(10.5, 5), QColor(200, 40, 40));
        };
    }
    if (name == "imgIcon_Bar_Clone_Info")
        return information;
    if (name == "imgIcon_Bar_Pcg_Pen")
        return pen;
    if (name == "imgIcon_Bar_Pcg_Fill")
        return fill;
    if (name == "imgIcon_Bar_Pcg_Slider")
        return slider;
    if (name == "imgIcon_Bar_Flash_Write")
        return flash;
    if (name == "imgIcon_Bar_AdjCheck")
        return checkMark;
    if (name == "imgIcon_Bar_Page_Top")
        return [](QPainter& p) { pageStep(p, -1, 1, true); };
    if (name == "imgIcon_Bar_Page_Previous")
        return [](QPainter& p) { pageStep(p, -1, 1, false); };
    if (name == "imgIcon_Bar_Page_Next")
        return [](QPainter& p) { pageStep(p, 1, 1, false); };
    if (name == "imgIcon_Bar_Page_Last")
        return [](QPainter& p) { pageStep(p, 1, 1, true); };
    if (name == "imgIcon_Bar_Page_Zoom")
        return zoom;
    return {};
}

cuiImageList listOf(std::span<const std::string_view> names)
{
    cuiImageList list(cuiIcons::Size);
    for (std::size_t i = 0; i < names.size(); ++i)
        list.Set(static_cast<int>(i), cuiIcons::Draw(names[i]));
    return list;
}

} // namespace

std::span<const std::string_view> cuiIcons::TreeNames()
{
    return treeNames;
}

std::span<const std::string_view> cuiIcons::ToolBarNames()
{
    return toolBarNames;
}

QPixmap cuiIcons::Draw(std::string_view name)
{
    if (name == "imgIcon_Tree_WarnW_RB")
        return cuiImageList::DrawWarning(Size);
    if (name == "imgIcon_Tree_WarnE_RB")
        return cuiImageList::DrawError(Size);
    const Painter draw = painterFor(name);
    if (!draw)
        return {};
    QPixmap pixmap(Size, Size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    draw(painter);
    return pixmap;
}

cuiImageList cuiIcons::TreeImages()
{
    return listOf(treeNames);
}

cuiImageList cuiIcons::ToolBarImages()
{
    return listOf(toolBarNames);
}
