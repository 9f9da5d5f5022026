#include "ui/cuiFBitsR.h"

#include "base/cmcEvMan.h"
#include "base/cmcGTex.h"
#include "base/cmcText.h"
#include "base/cmcTextTables.h"
#include "cells/clLogic.h"
#include "cells/indActiveCell.h"
#include "ui/cuiGrid.h"
#include "ui/cuiImageList.h"
#include "ui/cuiSheet.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QPainter>
#include <QPolygon>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>
#include <array>
#include <bit>

namespace {
constexpr const char* builtInSheet = "GI_Sheet_FBitsR";
constexpr int gpsSentences = 5;
constexpr int maxSentences = 3;
constexpr int border = 5;
constexpr int escapeKey = 27;

std::string buttonCaption(int line)
{
    return MainText().GetEntry("GI_AppInd_Button_OkCancel", line);
}
} // namespace

std::string cuiFBitsR::Label(int index, int last, int labelType)
{
    switch (labelType) {
    case 1:
        return Format("%X", index);
    case 2:
        return index == 10 ? "0" : Format("%d", index);
    case 3:
        if (index <= 9)
            return Format("%d", index);
        if (index == 17)
            return "Z";
        return std::string(1, static_cast<char>(index + 55));
    case 4:
        return std::string(1, static_cast<char>(index + 64));
    case gpsSentences: {
        static constexpr std::array<const char*, 5> names{"RMC", "GGA", "GLL", "GSA", "VTG"};
        if (index >= 1 && index <= 5)
            return names[static_cast<std::size_t>(index - 1)];
        return Format("%d", index);
    }
    case 6:
        return Format("B%d", last - index);
    default:
        return Format("%d", index);
    }
}

std::vector<std::string> cuiFBitsR::BuiltInLines(int first, int last, int labelType)
{
    const int count = last - first + 1;
    std::string labels;
    for (int i = first; i <= last; ++i)
        labels += "|{($iChI)}" + Label(i, last, labelType) + "|";
    std::string bits;
    for (int k = 1; k <= count; ++k) {
        bits += Format("|{($eWh)^(%%CL_FBits[%d])}9|", k);
        if (k < count)
            bits += "{($iQp)}";
    }
    return {
        "#GI_Sheet_FBitsR_Style",
        "(FixedCols=1)(FixedRows=1)",
        "#GI_Sheet_FBitsR_BasicCell",
        "{($Basic)(PopupMenu=GI_PMenu_NoItem)}",
        "#GI_Sheet_FBitsR_Cells",
        "",
        labels,
        "",
        bits,
        "",
        "",
        "#",
        "#CellModel_iChI",
        "^-WH(Color=clGray)(Font=,,clWhite,,,fsBold,)",
        "#CellModel_eWh",
        "S<_WHB",
        "#CellModel_iQp",
        "(%CT_Null.CL_Misc_QuarterPillar)",
        "#CellModel_Basic",
        "<-(Color=clWindow)(Font=DEFAULT_CHARSET,,clWindowText,-17,,,)(PopupMenu=GI_PMenu_Edit)",
        "#GI_PMenu_NoItem_BasicCell",
        "{($Basic)}",
        "#GI_PMenu_NoItem_Body",
        "+No item\t{(%CT_PopupMenu.CL_PMenu_NoItem)}",
        "#",
        "#GI_PMenu_Edit_BasicCell",
        "{($Basic)(%CT_PopupMenu.)}",
        "#GI_PMenu_Edit_Body",
        "+Edit...\t{(%CT_PopupMenu.CL_PMenu_Edit:Enter)}",
        "#",
        "#End_Of_Ovl",
        "",
    };
}

cuiFBitsR::cuiFBitsR(const cmcCellCapsule& opener, CellHost& host, cmcGTex& overlay, unsigned value,
                     int first, int last, int labelType, int markStyle, const std::string& sheetName)
    : cuiPopup(opener, host), value_(value), first_(first), last_(std::max(first, last)),
      labelType_(labelType), markStyle_(markStyle)
{
    cmcGTex* table = &overlay;
    std::string name = sheetName;
    if (name.empty()) {
        ownOverlay_ = std::make_unique<cmcGTex>();
        (void)ownOverlay_->SetLines(BuiltInLines(first_, last_, labelType_));
        table = ownOverlay_.get();
        name = builtInSheet;
    }

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    auto* frame = new QFrame(this);
    frame->setFrameStyle(QFrame::Panel | QFrame::Raised);
    frame->setLineWidth(2);
    outer->addWidget(frame);
    auto* inside = new QVBoxLayout(frame);
    inside->setContentsMargins(2 + border, 2 + border, 2 + border, 2 + border);
    inside->setSpacing(border);

    sheet_ = new cuiSheet(frame, host, &Opener(), clIndex(clLogic::Flex0), 0, *table, name,
                          static_cast<const cuiImageList*>(opener.images));
    sheet_->SetCellHandler([this](cmcCellCapsule& capsule, int mode) { return handleCell(capsule, mode); });
    sheet_->SetCellPainter(
        [this](QPainter& painter, const QRect& rect, const cmcCellCapsule&, const QColor& colour) {
            // A filled check mark in a box of 0.7 of the cell's smaller side, centred.
            const int d = std::min(rect.width(), rect.height());
            const double side = 0.7 * d;
            const double x0 = rect.left() + (rect.width() - side) / 2;
            const double y0 = rect.top() + (rect.height() - side) / 2;
            const auto at = [&](double fx, double fy) {
                return QPoint(static_cast<int>(x0 + fx * side), static_cast<int>(y0 + fy * side));
            };
            painter.save();
            painter.setRenderHint(QPainter::Antialiasing, true);
            painter.setPen(Qt::NoPen);
            painter.setBrush(colour);
            painter.drawPolygon(
                QPolygon({at(0, 0.4), at(0, 0.6), at(0.4, 1), at(1, 0.35), at(1, 0.15), at(0.4, 0.7)}));
            painter.restore();
        });
    sheet_->Build();
    sheet_->Grid().SetScrollBarsShown(false);
    inside->addWidget(sheet_);

    auto* buttons = new QHBoxLayout();
    buttons->setContentsMargins(0, 0, 0, 0);
    buttons->setSpacing(8);
    buttons->addStretch(1);
    ok_ = new QPushButton(QString::fromStdString(buttonCaption(0)), frame);
    cancel_ = new QPushButton(QString::fromStdString(buttonCaption(1)), frame);
    ok_->setDefault(true);
    buttons->addWidget(ok_);
    buttons->addWidget(cancel_);
    inside->addLayout(buttons);
    QObject::connect(ok_, &QPushButton::clicked, this, [this] { Accept(); });
    QObject::connect(cancel_, &QPushButton::clicked, this, [this] { Cancel(); });
    if (labelType_ == gpsSentences)
        ok_->setEnabled(setCount() <= maxSentences);

    // The sheet shows every cell; the window fits it and the buttons.
    cuiGrid& grid = sheet_->Grid();
    const int chrome = 2 * 2;
    sheet_->setFixedSize(grid.TotalWidth() + chrome, grid.TotalHeight() + chrome);
    adjustSize();
    PlaceAndShow();
    grid.setFocus(Qt::PopupFocusReason);
}

cuiFBitsR::~cuiFBitsR() = default;

unsigned cuiFBitsR::bitOf(int cellArg) const
{
    const int count = last_ - first_ + 1;
    if (cellArg < 1 || cellArg > count)
        return 0;
    return 1u << (count - cellArg);
}

int cuiFBitsR::setCount() const
{
    const int count = last_ - first_ + 1;
    const unsigned all = count >= 32 ? ~0u : ((1u << count) - 1);
    return std::popcount(value_ & all);
}

int cuiFBitsR::handleCell(cmcCellCapsule& capsule, int mode)
{
    const cmcCellObj& cell = *capsule.cell;
    if (cell.logic != clIndex(clLogic::CL_FBits)) {
        indActiveCell active(Host());
        return active.run(capsule, mode == cuiSheet::ModeAction);
    }
    const unsigned bit = bitOf(cell.arg);
    if (mode == cuiSheet::ModePaint) {
        capsule.output.clear();
        if ((value_ & bit) != 0) {
            if (markStyle_ == 0)
                capsule.output.assign(1, 'o');
            else
                capsule.paintAs = cmcPaint::Custom;
        }
        if (labelType_ == gpsSentences && setCount() > maxSentences)
            capsule.SetError();
        return 0;
    }
    // Enter is the OK button's, Escape the Cancel button's.
    if (capsule.key == cmcKey::Enter) {
        Accept();
        return 0;
    }
    if (capsule.key == escapeKey) {
        Cancel();
        return 0;
    }
    if (capsule.key == cmcKey::Space || capsule.key == cmcKey::DoubleClick) {
        if (capsule.notify)
            capsule.notify(capsule, cmcRepaint::SameCell);
        value_ ^= bit;
        if (labelType_ == gpsSentences)
            ok_->setEnabled(setCount() <= maxSentences);
        cmcEvents().Post(cmcEvCode::RedrawAll);
    }
    return 0;
}

void cuiFBitsR::SendResult()
{
    RunResult(clIndex(clLogic::Flex0), 0, std::to_string(value_));
}
