#include "ui/cuiFText.h"

#include "base/cmcGTex.h"
#include "base/cmcTextTables.h"
#include "cells/CellHost.h"
#include "cells/clLogic.h"
#include "cells/cmcCodecs.h"
#include "cells/indActiveCell.h"
#include "cells/indDocument.h"
#include "ui/cuiCellStyle.h"
#include "ui/cuiFTextPreview.h"
#include "ui/cuiGrid.h"
#include "ui/cuiImageList.h"
#include "ui/cuiRadioFont.h"
#include "ui/cuiSheet.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QStyle>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace {
constexpr const char* pickerSheet = "GI_Sheet_Sel_Text";
constexpr int border = 5;
constexpr int maxTextLength = 1024;

std::string buttonCaption(int line)
{
    return MainText().GetEntry("GI_AppInd_Button_OkCancel", line);
}

// Whether the radio's font draws this code: printable ASCII and the user characters.
bool radioHolds(int code)
{
    if (code >= cuiRadioFont::FirstUserCode && code < cuiRadioFont::FirstUserCode + cuiRadioFont::UserCodes)
        return true;
    return code >= 32 && code <= 126 && !cuiRadioFont::Shared().Rows(code).empty();
}
} // namespace

cuiFText::cuiFText(const cmcCellCapsule& opener, CellHost& host, const std::string& escapedText,
                   bool selectAll, int limit)
    : cuiPopup(opener, host), limit_(limit)
{
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    auto* frame = new QFrame(this);
    frame->setFrameStyle(QFrame::Panel | QFrame::Raised);
    frame->setLineWidth(2);
    outer->addWidget(frame);
    auto* inside = new QVBoxLayout(frame);
    inside->setContentsMargins(2 + border, 2 + border, 2 + border, 2 + border);
    inside->setSpacing(border);

    // The text box, in the opening cell's font.
    text_ = new QLineEdit(frame);
    text_->setMaxLength(maxTextLength);
    const cmcCellObj* cell = opener.cell;
    const cmcCellFont* font = cell != nullptr ? cell->EffectiveFont() : nullptr;
    if (font != nullptr)
        text_->setFont(cuiCellStyle::Font(font));
    const int fontHeight = QFontMetrics(text_->font()).height();
    text_->setFixedHeight(static_cast<int>(fontHeight * 1.5) + 4);
    text_->installEventFilter(this);
    inside->addWidget(text_);

    const indDocument& document = host.Document();
    preview_ = new cuiFTextPreview(document.Working(), document.LcdFontSize(), limit_, frame);
    preview_->setFixedHeight(2 * text_->height() + 2);
    inside->addWidget(preview_);

    picker_ = new cuiSheet(frame, host, &Opener(), 0, 0, MainText(), pickerSheet,
                           static_cast<const cuiImageList*>(opener.images));
    picker_->SetCellHandler(
        [this](cmcCellCapsule& capsule, int mode) { return handlePicker(capsule, mode); });
    picker_->Build();
    cuiGrid& grid = picker_->Grid();
    grid.setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    grid.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    const int scrollWidth = grid.style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    picker_->setFixedSize(grid.TotalWidth() + 4 + scrollWidth, std::max(grid.TotalHeight() * 5 / 15, 24) + 4);
    inside->addWidget(picker_);

    auto* buttons = new QHBoxLayout();
    buttons->setSpacing(8);
    buttons->addStretch(1);
    ok_ = new QPushButton(QString::fromStdString(buttonCaption(0)), frame);
    cancel_ = new QPushButton(QString::fromStdString(buttonCaption(1)), frame);
    ok_->setAutoDefault(false);
    cancel_->setAutoDefault(false);
    buttons->addWidget(ok_);
    buttons->addWidget(cancel_);
    inside->addLayout(buttons);
    QObject::connect(ok_, &QPushButton::clicked, this, [this] { Accept(); });
    QObject::connect(cancel_, &QPushButton::clicked, this, [this] { Cancel(); });

    QObject::connect(text_, &QLineEdit::textChanged, this, [this] { textChanged(); });
    text_->setText(QString::fromStdString(escapedText));
    textChanged();
    if (selectAll) {
        // Everything selected, the caret at the start.
        const auto length = static_cast<int>(text_->text().size());
        text_->setSelection(length, -length);
    } else {
        text_->setCursorPosition(text_->text().size());
    }

    adjustSize();
    PlaceAndShow();
    text_->setFocus(Qt::PopupFocusReason);
}

void cuiFText::textChanged()
{
    bytes_ = cmcUnescapeText(text_->text().toStdString());
    preview_->SetBytes(bytes_);
}

void cuiFText::insertCode(int code)
{
    const QString piece = QString::fromStdString(cmcEscapeText(std::string(1, static_cast<char>(code))));
    text_->insert(piece); // replaces the selection and leaves the caret after the piece
}

int cuiFText::handlePicker(cmcCellCapsule& capsule, int mode)
{
    const cmcCellObj& cell = *capsule.cell;
    const bool character = cell.logic == clIndex(clLogic::Flex0);
    if (!character) {
        if (Opener().cell != nullptr && cell.logic == Opener().cell->logic)
            return 0;
        indActiveCell active(Host());
        return active.run(capsule, mode == cuiSheet::ModeAction);
    }
    const int code = cell.arg & 0xFF;
    if (mode == cuiSheet::ModePaint) {
        capsule.output = cmcEscapeText(std::string(1, static_cast<char>(code)));
        capsule.paintAs = cmcPaint::RadioText;
        return 0;
    }
    const int key = capsule.key;
    capsule.key = 0;
    if (key == cmcKey::Space) {
        insertCode(code);
    } else if (key == cmcKey::DoubleClick) {
        insertCode(code);
        text_->setFocus();
    } else if (key == cmcKey::Enter) {
        Accept();
    } else if (key == cmcKey::Backspace || key == 27) {
        text_->setFocus();
    } else if (key > 0 && key < 256 && radioHolds(key)) {
        insertCode(key);
        text_->setFocus();
    }
    return 0;
}

bool cuiFText::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == text_ && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            Accept();
            return true;
        }
        if (key->key() == Qt::Key_Escape) {
            Cancel();
            return true;
        }
    }
    return cuiPopup::eventFilter(watched, event);
}

void cuiFText::SendResult()
{
    RunResult(clIndex(clLogic::Flex0), 0, text_->text().toStdString());
}
