// Every logic through the dispatcher: the logics no family binds are exactly the ones that
// have no behaviour in this family, and drawing every other one on the default image
// shows a real text and leaves the image alone.
#include "DispatcherTestHost.h"
#include "DispatcherUnplacedLogics.h"

#include "cells/clDispatchTable.h"
#include "cells/clFieldRow.h"
#include "cells/datRecordLayout.h"
#include "cells/datSettingsMap.h"

#include <gtest/gtest.h>

#include <set>
#include <string_view>
#include <utility>

namespace {

bool startsWith(std::string_view name, std::string_view prefix)
{
    return name.substr(0, prefix.size()) == prefix;
}

// The logics without a behaviour: the memory debug window that no command opens, the check
// with no cells of its own, the key cells without a key slot, the adjustment family, whose
// window comes with the adjustment mode, and the settings whose place is not known.
bool exemptFamily(std::string_view name)
{
    for (std::string_view prefix : {"CL_EeDebugWin_", "CL_Adjust_", "CL_Adj_", "CL_ADP_", "CL_WinAD_"}) {
        if (startsWith(name, prefix))
            return true;
    }
    return false;
}

std::vector<int> exemptLogics()
{
    std::vector<int> logics;
    for (clLogic l :
         {clLogic::CL_Check_SetMode, clLogic::CL_KDisp_Key_Conv_LeftUp, clLogic::CL_KDisp_Key_Conv_LeftDn,
          clLogic::CL_KDisp_Key_Conv_DialCcw, clLogic::CL_KDisp_Key_Shift_LeftUp,
          clLogic::CL_KDisp_Key_Shift_LeftDn, clLogic::CL_KDisp_Key_Shift_DialCcw})
        logics.push_back(clIndex(l));
    for (clLogic l : dispatcherUnplacedLogics)
        logics.push_back(clIndex(l));
    return logics;
}

// The category a sheet gives the logic's cells: the kind of the record field it binds, else
// the table its family addresses, else none (settings, menus, checks).
int categoryOf(int logic)
{
    if (datFindSetting(logic) != nullptr)
        return static_cast<int>(ctCategory::CT_Null);
    if (const clFieldRow* row = clFieldRowOf(logic)) {
        const int kind = datFieldOf(row->field).kind;
        for (int c = 0; c < ctCategoryCount; ++c) {
            if (ctCategories[static_cast<std::size_t>(c)].recordKind == kind)
                return c;
        }
    }
    static const std::pair<std::string_view, ctCategory> families[] = {
        {"CL_Mch_", ctCategory::CT_Mch},
        {"CL_Grp_", ctCategory::CT_Mch},
        {"CL_Bank_", ctCategory::CT_BankOp},
        {"CL_Rpt_", ctCategory::CT_Rpt},
        {"CL_Digi_Ind_Id_", ctCategory::CT_DIG_Inv},
        {"CL_Digi_Grp_Id_", ctCategory::CT_DIG_Tg},
        {"CL_Digi_NacCh_", ctCategory::CT_DIG_NacCh},
        {"CL_Digi_Encryption_", ctCategory::CT_DIG_Encryption},
        {"CL_Digi_SDM_", ctCategory::CT_DIG_SDM},
        {"CL_ScanList_", ctCategory::CT_Scan},
        {"CL_Dtmf_", ctCategory::CT_DTMF},
        {"CL_CEdit", ctCategory::CT_CEdit},
        {"CL_Msk_IdGroup_", ctCategory::CT_MSK_IdGroup},
        {"CL_Msk_CallList_", ctCategory::CT_MSK_CallList},
        {"CL_Msk_Msg_Status_", ctCategory::CT_MSK_Msg_Status},
        {"CL_Msk_Msg_ShortTxt", ctCategory::CT_MSK_Msg_ShortTxt},
        {"CL_MultiTable_", ctCategory::CT_MultiTable},
        {"CL_ExtPort_ChSW_Table_", ctCategory::CT_EXP_ChSwitchTable},
        {"CL_PMenu_", ctCategory::CT_PopupMenu},
    };
    const std::string_view name = clLogicName(logic);
    for (const auto& [prefix, category] : families) {
        if (startsWith(name, prefix))
            return static_cast<int>(category);
    }
    return static_cast<int>(ctCategory::CT_Null);
}

class DispatcherCoverageTest : public testing::Test, protected DispatcherBed {};

TEST_F(DispatcherCoverageTest, OnlyTheLogicsWithoutBehaviourAreUnbound)
{
    const std::vector<int> unbound = clUnboundLogics();
    const std::set<int> unboundSet(unbound.begin(), unbound.end());
    const std::vector<int> exempt = exemptLogics();
    const std::set<int> exemptSet(exempt.begin(), exempt.end());
    for (int logic : unbound) {
        EXPECT_TRUE(exemptSet.count(logic) != 0 || exemptFamily(clLogicName(logic)))
            << clLogicName(logic) << " has no behaviour";
    }
    for (int logic : exempt)
        EXPECT_EQ(unboundSet.count(logic), 1u) << clLogicName(logic) << " has a behaviour now";
}

TEST_F(DispatcherCoverageTest, DrawingEveryLogicShowsATextAndChangesNothing)
{
    cmcEeprom before;
    before.CopyFrom(Image());
    int drawn = 0;
    for (int logic = 0; logic < clLogicCount; ++logic) {
        if (clHandlerOf(logic) == nullptr)
            continue;
        // The first record, and the second where the table or the setting has one.
        const int category = categoryOf(logic);
        const int kind = ctRecordKind(category);
        const datSettingDef* setting = datFindSetting(logic);
        // (A bank cell's argument is the bank: this family has one.)
        const bool second = startsWith(clLogicName(logic), "CL_Bank_") ? false
                            : kind != 0                                ? datSlotsOf(kind) > 1
                                        : setting != nullptr && datSettingElements(*setting) > 1;
        for (int arg = 0; arg <= (second ? 1 : 0); ++arg) {
            FakeCell cell(category, logic, arg);
            cell.Draw();
            Dispatch(cell);
            EXPECT_EQ(cell.capsule.output.find("*Yet*"), std::string::npos) << clLogicName(logic);
            EXPECT_NE(cell.capsule.output, "error") << clLogicName(logic) << "[" << arg << "]";
            EXPECT_TRUE(Image().Equals(before)) << clLogicName(logic) << " changed the image";
            ++drawn;
        }
    }
    EXPECT_TRUE(host.popups.empty());
    EXPECT_TRUE(boxes.Boxes().empty());
    EXPECT_GE(drawn, clLogicCount - static_cast<int>(clUnboundLogics().size()));
}

} // namespace
