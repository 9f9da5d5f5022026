// The checks of the warning check list: each evaluates the cells of one sheet with the
// active cell's errorOf and warningOf and collects their marks in its own state, which the
// main window shows as the error or warning icon of the sheet's tree node.
#include "cells/clFamilies.h"
#include "cells/ctCategory.h"
#include "cells/datCounts.h"
#include "cells/datMemoryMap.h"
#include "cells/datRecordKind.h"
#include "cells/indActiveCell.h"
#include "cells/indDocument.h"

#include <array>
#include <initializer_list>

namespace {

constexpr int category(ctCategory c)
{
    return static_cast<int>(c);
}

struct Collector {
    clRun& run;
    indActiveCell cells;

    explicit Collector(clRun& r) : run(r), cells(r.host) {}

    void error(int cat, clLogic logic, int arg)
    {
        if (cells.errorOf(cat, clIndex(logic), arg))
            run.capsule.SetError();
    }
    void warning(int cat, clLogic logic, int arg)
    {
        if (cells.warningOf(cat, clIndex(logic), arg))
            run.capsule.SetWarning();
    }
};

// The channels of the bank in record that are in use: receive frequency, transmit
// frequency, local busy lockout, digital signalling and CW identification offset for
// errors; operation mode, local busy lockout and bandwidth for warnings.
void checkChannels(clRun& run)
{
    const cmcEeprom& image = run.Image();
    const int bank = run.capsule.record;
    if (bank < 0 || bank >= datBanks)
        return;
    const int first = datFirstChannel(image, bank);
    const int count = datChannelCount(image, bank);
    Collector c(run);
    const int mch = category(ctCategory::CT_Mch);
    for (int channel = first; channel < first + count; ++channel) {
        if (!datChannelSlotInUse(image, channel))
            continue;
        for (clLogic logic : {clLogic::CL_Mch_FreqR, clLogic::CL_Mch_FreqT, clLogic::CL_Mch_Lockout_Local,
                              clLogic::CL_Mch_Dig_Sig, clLogic::CL_Mch_CWID_Offset})
            c.error(mch, logic, channel);
        for (clLogic logic :
             {clLogic::CL_Mch_OperationMode, clLogic::CL_Mch_Lockout_Local, clLogic::CL_Mch_WNM})
            c.warning(mch, logic, channel);
    }
}

void checkCommon(clRun& run)
{
    Collector c(run);
    const int null = category(ctCategory::CT_Null);
    c.warning(null, clLogic::CL_Common_Tot_Repeat, 0);
    c.warning(null, clLogic::CL_Comm_Repeater_Reboot_Bad_Tx, 0);
}

void checkUserTones(clRun& run)
{
    Collector c(run);
    const datRecordKind& tones = datKindOf(datKindUserTone);
    const int userTone = category(ctCategory::CT_UserTone);
    for (int tone = tones.lowest; tone <= tones.highest; ++tone) {
        c.warning(userTone, clLogic::CL_UTone_Dec_Low, tone);
        c.warning(userTone, clLogic::CL_UTone_Dec_High, tone);
    }
}

// The type of every entry of the 16 multi tables: a table is one record, its cells
// address entry e of table t with the argument 16 t + e.
void checkMultiTables(clRun& run)
{
    Collector c(run);
    const datRecordKind& tables = datKindOf(datKindMultiTable);
    const int multiTable = category(ctCategory::CT_MultiTable);
    for (int table = tables.lowest; table <= tables.highest; ++table) {
        for (int entry = 0; entry < 16; ++entry)
            c.error(multiTable, clLogic::CL_MultiTable_Type, table * 16 + entry);
    }
}

void checkPorts(clRun& run)
{
    Collector c(run);
    const int null = category(ctCategory::CT_Null);
    for (clLogic logic :
         {clLogic::CL_ExtPort_InOut_1, clLogic::CL_ExtPort_InOut_2, clLogic::CL_ExtPort_InOut_3,
          clLogic::CL_ExtPort_InOut_4, clLogic::CL_ExtPort_InOut_5, clLogic::CL_ExtPort_InOut_6,
          clLogic::CL_ExtPort_InOut_7, clLogic::CL_ExtPort_InOut_8, clLogic::CL_ExtPort_InOut_9})
        c.error(null, logic, 0);
}

void checkKeys(clRun& run)
{
    Collector c(run);
    const int null = category(ctCategory::CT_Null);
    for (clLogic logic :
         {clLogic::CL_KDisp_Key_Conv_P0, clLogic::CL_KDisp_Key_Conv_P1, clLogic::CL_KDisp_Key_Conv_P2,
          clLogic::CL_KDisp_Key_Conv_P3, clLogic::CL_KDisp_Key_Conv_P4})
        c.error(null, logic, 0);
}

// The checks whose cells this family does not have (MSK, NAC channels, LTR repeaters, the
// scan and MDC status settings): they never flag.
void neverFlags(clRun&) {}

constexpr std::array checkRows{
    clBinding{clLogic::CL_Check_Mch, checkChannels},
    clBinding{clLogic::CL_Check_Common, checkCommon},
    clBinding{clLogic::CL_Check_User_Tone_Encode, checkUserTones},
    clBinding{clLogic::CL_Check_Msk_IdRange, neverFlags},
    clBinding{clLogic::CL_Check_Msk_OwnIdGroup, neverFlags},
    clBinding{clLogic::CL_Check_Msk_Config, neverFlags},
    clBinding{clLogic::CL_Check_Dig_Nacch, neverFlags},
    clBinding{clLogic::CL_Check_Ltr_Repeater, neverFlags},
    clBinding{clLogic::CL_Check_MultipleTable, checkMultiTables},
    clBinding{clLogic::CL_Check_ExtPort_PortSetting, checkPorts},
    clBinding{clLogic::CL_Check_KeyDisp, checkKeys},
    clBinding{clLogic::CL_Check_Scan_Setting, neverFlags},
    clBinding{clLogic::CL_Check_MDC_Status, neverFlags},
};

} // namespace

std::span<const clBinding> clCheckLogics()
{
    return checkRows;
}
