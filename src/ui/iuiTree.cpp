#include "ui/iuiTree.h"

#include "base/cmcEvent.h"
#include "base/cmcText.h"
#include "cells/CellHost.h"
#include "cells/cmcCodecs.h"
#include "cells/datCh.h"
#include "cells/datCounts.h"
#include "cells/datRecordKind.h"
#include "cells/datRecordLayout.h"
#include "cells/indDocument.h"
#include "ui/cuiSheetRef.h"

#include <QTreeWidget>

#include <vector>

namespace {
constexpr std::string_view bankClass = "St_ChBank";
constexpr std::string_view bankCommand = "Bank";

void collect(QTreeWidgetItem* node, std::vector<QTreeWidgetItem*>& out)
{
    out.push_back(node);
    for (int i = 0; i < node->childCount(); ++i)
        collect(node->child(i), out);
}

bool isBank(int bank)
{
    return bank >= 0 && bank < datSlotsOf(datKindBank);
}
} // namespace

std::optional<int> iuiTree::BankNumberOf(std::string_view reference)
{
    const cuiSheetRef ref = cuiSheetRef::Parse(reference);
    if (ref.cls != bankClass || !std::string_view(ref.kind).starts_with(bankCommand))
        return std::nullopt;
    const std::string number = TrimBlanks(std::string_view(ref.kind).substr(bankCommand.size()));
    if (number.empty())
        return 0;
    if (number.size() > 4 || number.find_first_not_of("0123456789") != std::string::npos)
        return std::nullopt;
    return std::stoi(number);
}

QTreeWidgetItem* iuiTree::FindBankNode(int bank) const
{
    QTreeWidget* view = View();
    if (view == nullptr)
        return nullptr;
    for (int i = 0; i < view->topLevelItemCount(); ++i) {
        std::vector<QTreeWidgetItem*> nodes;
        collect(view->topLevelItem(i), nodes);
        for (QTreeWidgetItem* node : nodes) {
            const cmcCellObj* cell = CellOf(node);
            if (cell != nullptr && cell->argText && BankNumberOf(*cell->argText) == bank)
                return node;
        }
    }
    return nullptr;
}

int iuiTree::BankImage(int bank)
{
    if (!isBank(bank))
        return BankImages;
    cmcEeprom& image = Host().Document().Working();
    datCh record(image);
    record.decode(datKindBank, bank);
    const int pair = (record.status & datStBank2) != 0   ? SecondFlagImages
                     : (record.status & datStBank1) != 0 ? FirstFlagImages
                                                         : BankImages;
    return datChannelCount(image, bank) > 0 ? pair + 1 : pair;
}

void iuiTree::refreshBankImages()
{
    QTreeWidget* view = View();
    if (view == nullptr)
        return;
    for (int i = 0; i < view->topLevelItemCount(); ++i) {
        std::vector<QTreeWidgetItem*> nodes;
        collect(view->topLevelItem(i), nodes);
        for (QTreeWidgetItem* node : nodes) {
            const cmcCellObj* cell = CellOf(node);
            if (cell == nullptr || !cell->argText)
                continue;
            if (const std::optional<int> bank = BankNumberOf(*cell->argText); bank && isBank(*bank))
                SetImage(node, BankImage(*bank));
        }
    }
}

// The bank's name as the cells show it: glyph codes escaped, trailing blanks removed.
std::string iuiTree::bankName(int bank)
{
    datCh record(Host().Document().Working());
    record.decode(datKindBank, bank);
    std::string name = cmcEscapeText(record.Text(datField::BankName));
    while (!name.empty() && name.back() == ' ')
        name.pop_back();
    if (name.size() > static_cast<std::size_t>(MaxCaptionChars))
        name.resize(static_cast<std::size_t>(MaxCaptionChars));
    return name;
}

void iuiTree::setBankCaption(int bank, const std::string& caption)
{
    if (QTreeWidgetItem* node = FindBankNode(bank))
        node->setText(0, QString::fromStdString(caption));
}

void iuiTree::HandleEvent(const cmcEvent& event)
{
    switch (event.code) {
    case cmcEvCode::RefreshBankImages:
        refreshBankImages();
        break;
    case cmcEvCode::SetBankCaption:
        setBankCaption(static_cast<int>(event.arg2), std::string(event.Text()));
        break;
    case cmcEvCode::BankNameToCaption:
        if (isBank(static_cast<int>(event.arg2)))
            setBankCaption(static_cast<int>(event.arg2), bankName(static_cast<int>(event.arg2)));
        break;
    default:
        cuiTree::HandleEvent(event);
        break;
    }
}
