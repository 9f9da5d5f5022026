// The tree builder and the model tree: nodes, references, tree marks, the delayed selection,
// the bank nodes and their events 41, 42 and 43, and the shipped tree definition.
#include "BuilderTestBed.h"

#include "base/cmcEvMan.h"
#include "base/cmcText.h"
#include "cells/clLogic.h"
#include "cells/datCh.h"
#include "cells/datCounts.h"
#include "cells/datRecordKind.h"
#include "ui/iuiTree.h"

#include <QTreeWidget>
#include <QWidget>

#include <gtest/gtest.h>

#include <memory>

namespace {

const std::string pageA = "[St_Common]GI_Sheet_A";
const std::string pageB = "GI_Sheet_B";
const std::string bankRef = "[St_ChBank]GI_Sheet_Mch_Test,Bank 0";

// An overlay format with one "%s" and one "%d" filled in, "%%" read as "%".
std::string fill(const std::string& format, const std::string& text, int number)
{
    std::string out;
    for (std::size_t i = 0; i < format.size(); ++i) {
        if (format[i] != '%' || i + 1 == format.size()) {
            out += format[i];
            continue;
        }
        const char c = format[++i];
        out += c == 's' ? text : c == 'd' ? std::to_string(number) : std::string(1, c);
    }
    return out;
}

class TreeBuilderTest : public testing::Test {
protected:
    TreeBuilderTest() : tree(&window, bed.host, bed.table, "GI_Tree_Test", bed.treeImages) { tree.Build(); }

    QTreeWidgetItem* node(const std::string& reference) { return tree.FindNodeByReference(reference); }
    QTreeWidgetItem* top(int i) { return tree.View()->topLevelItem(i); }

    void setBank(bool first, bool second, int channels)
    {
        cmcEeprom& image = bed.ui.Image();
        datCh bank(image);
        bank.decode(datKindBank, 0);
        bank.status = static_cast<std::uint8_t>((first ? datStBank1 : 0) | (second ? datStBank2 : 0));
        bank.encode(datKindBank, 0);
        bed.ui.ProgramChannels(channels);
    }

    BuilderTestBed bed;
    QWidget window;
    iuiTree tree;
};

TEST_F(TreeBuilderTest, NodesCarryTheirCellsImagesAndReferences)
{
    EXPECT_EQ(BuilderTestBed::Structure(*tree.View()),
              "Radio(Group(Page A,Page B),Channels(Bank one)),Other(Page A again,Page C)");
    EXPECT_TRUE(top(0)->isExpanded());
    EXPECT_FALSE(top(1)->isExpanded());
    EXPECT_EQ(cuiTree::ImageOf(top(0)), 0);
    EXPECT_FALSE(top(0)->icon(0).isNull());
    // The basic cell's colour and font are the tree's.
    EXPECT_EQ(tree.View()->palette().color(QPalette::Base), QColor(Qt::white));
    EXPECT_EQ(tree.View()->palette().color(QPalette::Text), QColor(0, 0, 128));
    EXPECT_EQ(tree.View()->font().pixelSize(), 12);

    // The first node in list order wins.
    EXPECT_EQ(node(pageA)->text(0), "Page A");
    EXPECT_EQ(node("GI_Sheet_A"), nullptr); // exact references only
    EXPECT_EQ(tree.CellOf(node(pageB))->logic, clIndex(clLogic::CallSheet));

    tree.ClearChildren(top(1));
    EXPECT_EQ(top(1)->childCount(), 0);
    EXPECT_EQ(node("GI_Sheet_C"), nullptr);
    QTreeWidgetItem* added = tree.AddNode(top(1), "   +Page D\t{(ImageIndex=3)(%CallSheet:GI_Sheet_D)}");
    EXPECT_EQ(added->parent(), top(1));
    EXPECT_EQ(cuiTree::ImageOf(added), 3);
    EXPECT_EQ(node("GI_Sheet_D"), added);
}

TEST_F(TreeBuilderTest, MarksReachCollapsedAncestorsWithinTheSubtree)
{
    QTreeWidgetItem* group = node(pageA)->parent();
    ASSERT_FALSE(group->isExpanded());
    ASSERT_TRUE(top(0)->isExpanded());

    // "Page A again" lies outside the radio's subtree.
    EXPECT_EQ(tree.MarkNodes(top(0), {pageA}, cuiTree::WarningOverlay), 1);
    EXPECT_EQ(cuiTree::OverlayOf(node(pageA)), cuiTree::WarningOverlay);
    EXPECT_EQ(cuiTree::OverlayOf(group), cuiTree::WarningOverlay); // collapsed: shows it
    EXPECT_EQ(cuiTree::OverlayOf(top(0)), cuiTree::NoOverlay);     // expanded
    EXPECT_EQ(cuiTree::OverlayOf(top(1)->child(0)), cuiTree::NoOverlay);

    // An error mark is not replaced by a warning mark.
    EXPECT_EQ(tree.MarkNodes(top(0), {pageA, pageB}, cuiTree::ErrorOverlay), 2);
    EXPECT_EQ(tree.MarkNodes(top(0), {pageA}, cuiTree::WarningOverlay), 1);
    EXPECT_EQ(cuiTree::OverlayOf(node(pageA)), cuiTree::ErrorOverlay);
    EXPECT_EQ(cuiTree::OverlayOf(group), cuiTree::ErrorOverlay);

    EXPECT_EQ(tree.MarkNodes(top(1), {pageA, bankRef}, cuiTree::WarningOverlay), 1);
    tree.ClearMarks(top(0));
    EXPECT_EQ(cuiTree::OverlayOf(node(pageA)), cuiTree::NoOverlay);
    EXPECT_EQ(cuiTree::OverlayOf(group), cuiTree::NoOverlay);
    EXPECT_EQ(cuiTree::OverlayOf(top(1)->child(0)), cuiTree::WarningOverlay);
    EXPECT_EQ(cuiTree::OverlayOf(top(1)), cuiTree::WarningOverlay);
}

TEST_F(TreeBuilderTest, TheSelectionRunsTheNodesCellAfterTheChangeDelay)
{
    tree.SetChangeDelay(250);
    tree.View()->setCurrentItem(node(pageB));
    tree.View()->setCurrentItem(node(pageA)); // the delay starts again
    bed.ui.timers.Advance(249);
    EXPECT_TRUE(bed.host.commands.empty());
    bed.ui.timers.Advance(1);
    ASSERT_EQ(bed.host.commands.size(), 1u);
    EXPECT_EQ(bed.host.commands[0].logic, clIndex(clLogic::CallSheet));
    EXPECT_EQ(bed.host.commands[0].text, pageA);

    // A node without a sheet does nothing; a handler takes the place of the run.
    tree.SetChangeDelay(0);
    tree.View()->setCurrentItem(top(0));
    EXPECT_EQ(bed.host.commands.size(), 1u);
    std::vector<std::string> chosen;
    tree.SetSelectionHandler([&](const cmcCellObj& cell) { chosen.push_back(cell.argText.value_or("")); });
    tree.View()->setCurrentItem(node(pageB));
    EXPECT_EQ(chosen, std::vector<std::string>{pageB});
    EXPECT_EQ(bed.host.commands.size(), 1u);
}

TEST_F(TreeBuilderTest, ASelectionThatReplacesTheTreeIsSafe)
{
    // Choosing a node may rebuild the tree (a language change, a clone read).
    auto own = std::make_unique<iuiTree>(&window, bed.host, bed.table, "GI_Tree_Test", bed.treeImages);
    own->Build();
    own->SetChangeDelay(100);
    int chosen = 0;
    own->SetSelectionHandler([&](const cmcCellObj&) {
        ++chosen;
        own.reset();
    });
    own->View()->setCurrentItem(own->FindNodeByReference(pageB));
    bed.ui.timers.Advance(100);
    EXPECT_EQ(chosen, 1);
    EXPECT_EQ(own, nullptr);
    bed.ui.timers.Advance(100);
    bed.Settle();
}

TEST_F(TreeBuilderTest, BankNumbersComeFromBankReferencesOnly)
{
    const std::pair<const char*, std::optional<int>> cases[] = {
        {"[St_ChBank]GI_Sheet_Mch_X,Bank 0", 0},  {"[St_ChBank]GI_Sheet_Mch_X,Bank  7 ", 7},
        {"[St_ChBank]GI_Sheet_Mch_X,Bank12", 12}, {"[St_ChBank]GI_Sheet_Mch_X,Bank", 0},
        {"[St_Common]GI_Sheet_Mch_X,Bank 1", {}}, {"[St_ChBank]GI_Sheet_Mch_X,Bankx", {}},
        {"[St_ChBank]GI_Sheet_Mch_X", {}},        {"GI_Sheet_Mch_X,Bank 1", {}},
    };
    for (const auto& [reference, bank] : cases)
        EXPECT_EQ(iuiTree::BankNumberOf(reference), bank) << reference;
}

TEST_F(TreeBuilderTest, BankNodesTakeCaptionsFromEvents42And43)
{
    bed.ui.events.Post(cmcEvCode::SetBankCaption, 0, 0, "Memory CH");
    bed.ui.events.Post(cmcEvCode::SetBankCaption, 0, 5, "no such bank");
    bed.Settle();
    EXPECT_EQ(node(bankRef)->text(0), "Memory CH");

    datCh bank(bed.ui.Image());
    bank.decode(datKindBank, 0);
    bank.SetText(datField::BankName, "Dispatch");
    bank.encode(datKindBank, 0);
    bed.ui.events.Post(cmcEvCode::BankNameToCaption, 0, 0);
    bed.ui.events.Post(cmcEvCode::BankNameToCaption, 0, 999); // past the bank records
    bed.Settle();
    EXPECT_EQ(node(bankRef)->text(0), "Dispatch");
}

TEST_F(TreeBuilderTest, Event41ShowsEachBanksState)
{
    struct Case {
        bool first, second;
        int channels, image;
    };
    const Case cases[] = {
        {false, false, 0, 4}, {false, false, 3, 5}, {true, false, 0, 6},
        {true, false, 2, 7},  {false, true, 0, 8},  {true, true, 1, 9},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.image);
        setBank(c.first, c.second, c.channels);
        bed.ui.events.Post(cmcEvCode::RefreshBankImages);
        bed.Settle();
        EXPECT_EQ(cuiTree::ImageOf(node(bankRef)), c.image);
    }
    EXPECT_EQ(cuiTree::ImageOf(node(pageA)), 2); // other nodes keep theirs
}

TEST_F(TreeBuilderTest, TheTreeLetsGoWhenItsOwnerIsDestroyed)
{
    QWidget other;
    bed.ui.events.Send(cmcEvCode::ControlDestroyed, 0, reinterpret_cast<std::intptr_t>(&other));
    ASSERT_NE(tree.View(), nullptr);
    bed.ui.events.Send(cmcEvCode::ControlDestroyed, 0, reinterpret_cast<std::intptr_t>(&window));
    EXPECT_EQ(tree.View(), nullptr);
    EXPECT_EQ(tree.SelectedCell(), nullptr);
    // Later events and calls find nothing to do.
    bed.ui.events.Post(cmcEvCode::SetBankCaption, 0, 0, "Memory CH");
    bed.ui.events.Post(cmcEvCode::RefreshBankImages);
    bed.Settle();
    EXPECT_EQ(tree.FindNodeByReference(bankRef), nullptr);
}

TEST_F(TreeBuilderTest, TheShippedTreeTakesTheBankBranchTheWarningCheckNames)
{
    iuiTree shipped(&window, bed.host, bed.table, "GI_Tree_Main", bed.treeImages);
    shipped.Build();
    QTreeWidgetItem* top = shipped.FindNodeByReference("[St_Common]GI_Sheet_Memory_CH_Top");
    ASSERT_NE(top, nullptr);
    // What the model main object adds under it and what its bank check names.
    const std::string branch = fill(bed.table.GetText("GI_Tree_Branch_Mch_Bank"), "Conv_Lmr_VADOR_Rep", 0);
    QTreeWidgetItem* bankNode = shipped.AddNode(top, branch);
    const std::string checked = Format("[St_ChBank]GI_Sheet_Mch_%s,Bank %d", "Conv_Lmr_VADOR_Rep", 0);
    EXPECT_EQ(shipped.FindNodeByReference(checked), bankNode);
    EXPECT_EQ(shipped.FindBankNode(0), bankNode);

    bed.ui.events.Post(cmcEvCode::SetBankCaption, 0, 0,
                       bed.table.GetText("GI_Tree_Branch_NoBankMch_SheetName"));
    bed.Settle();
    EXPECT_EQ(bankNode->text(0), "Memory CH");
    EXPECT_GT(bed.table.GetText("GI_Sys_TreeChangeDelay").size(), 0u);
}

} // namespace
