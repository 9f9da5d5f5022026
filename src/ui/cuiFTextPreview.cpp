#include "ui/cuiFTextPreview.h"

#include "ui/cuiRadioFont.h"

#include <QPainter>

cuiFTextPreview::cuiFTextPreview(const cmcEeprom& image, int lcdFontSize, int limit, QWidget* parent)
    : QWidget(parent), image_(image), lcdFontSize_(lcdFontSize), limit_(limit)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void cuiFTextPreview::SetBytes(const std::string& bytes)
{
    bytes_ = bytes;
    update();
}

void cuiFTextPreview::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Base));
    painter.setPen(Qt::black);
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
    cuiRadioFont::Layout layout;
    layout.perLine = 12;
    layout.maxLines = 2;
    layout.charCount = std::max(limit_, 1);
    const QRectF area = QRectF(rect()).adjusted(4, 2, -4, -2);
    cuiRadioFont::Shared().Paint(painter, area, bytes_, layout, palette().color(QPalette::Text), &image_,
                                 lcdFontSize_);
}
