// Menu items, tool buttons and tree nodes. A menu runs its items without a key before it
// shows them (the display rule sets Flag0 checked, Flag1 hidden, Flag2 disabled, Flag3
// caption replaced) and with Enter when one is chosen; the command itself is the main
// window's (CellHost::RunCommand). The events a command raises for the other windows are
// raised here. Also the popup editors' helper cells (channel numbers, bit cells, separators)
// and the language cells.
#include "base/cmcEvMan.h"
#include "base/cmcGTex.h"
#include "base/cmcText.h"
#include "base/cmcTextTables.h"
#include "cells/clFamilies.h"
#include "cells/cmcCodecs.h"

#include <array>

namespace {

bool chosen(const clRun& run)
{
    return run.capsule.key == cmcKey::Enter;
}

void setFlag(clRun& run, std::uint8_t flag, bool on)
{
    if (on)
        run.capsule.cell->marks |= flag;
}

// The display text replaces the menu caption.
void setCaption(clRun& run, const std::string& caption)
{
    run.capsule.output = caption;
    run.capsule.cell->text = caption;
    run.capsule.cell->marks |= cmcCellObj::Flag3;
}

void runCommand(clRun& run)
{
    const cmcCellObj& cell = run.Cell();
    run.host.RunCommand(cell.logic, cell.arg, cell.argText.value_or(std::string()));
}

// A plain command: nothing to show, the main window's command when chosen.
void command(clRun& run)
{
    if (chosen(run))
        runCommand(run);
}

// A command that changes what the menus show (port, speed, adjustment view): the menus and
// the tool bar are refreshed after it.
void commandRefreshingMenus(clRun& run)
{
    runCommand(run);
    cmcEvents().Send(cmcEvCode::RefreshCommands);
}

// The menu items of this family that have no behaviour of their own (sub-menu headers,
// the clone check and update, the debug items).
void noBehaviour(clRun&) {}

void printCurrent(clRun& run)
{
    if (chosen(run))
        runCommand(run);
    else
        setFlag(run, cmcCellObj::Flag2, !run.host.MenuState().canPrintCurrent);
}

void recentFile(clRun& run)
{
    if (chosen(run)) {
        runCommand(run);
        return;
    }
    const int n = run.Arg();
    if (const std::optional<std::string> name = run.host.RecentEntry(n)) {
        setCaption(run, Format("&%d %s", n + 1, EscapeAmpersands(*name).c_str()));
        return;
    }
    setFlag(run, cmcCellObj::Flag2, true);
    setFlag(run, cmcCellObj::Flag1, n != 0);
}

// The Edit menu of the main menu holds the current cell's popup menu; when it is empty the
// menu builder fills it with the "no item" menu.
void editTop(clRun& run)
{
    if (chosen(run))
        return;
    const CellMenuState state = run.host.MenuState();
    if (state.mainMenu != 0 && state.editMenuEmpty)
        cmcEvents().Post(cmcEvCode::BuildSubItems, state.mainMenu, clIndex(clLogic::CL_Menu_Edit_Top),
                         "GI_PMenu_NoItem");
}

void fontSize(clRun& run)
{
    if (chosen(run))
        runCommand(run);
    else
        setFlag(run, cmcCellObj::Flag0, run.Arg() == run.host.MenuState().zoomPercent);
}

void toolBar(clRun& run)
{
    if (chosen(run))
        runCommand(run);
    else
        setFlag(run, cmcCellObj::Flag0, run.host.MenuState().toolBarShown);
}

void comPort(clRun& run)
{
    if (chosen(run)) {
        commandRefreshingMenus(run);
        return;
    }
    const CellMenuState state = run.host.MenuState();
    setFlag(run, cmcCellObj::Flag0, !state.networkLink && state.comPort == run.Arg());
}

void usbPort(clRun& run)
{
    if (chosen(run)) {
        runCommand(run);
        return;
    }
    const CellMenuState state = run.host.MenuState();
    setFlag(run, cmcCellObj::Flag0, !state.networkLink && state.comPort > 4);
}

void portSpeed(clRun& run)
{
    if (chosen(run)) {
        commandRefreshingMenus(run);
        return;
    }
    const CellMenuState state = run.host.MenuState();
    setFlag(run, cmcCellObj::Flag0, !state.networkLink && state.comSpeedHigh == run.Arg());
}

void networkAddress(clRun& run)
{
    if (chosen(run))
        runCommand(run);
    else
        setFlag(run, cmcCellObj::Flag0, run.host.MenuState().networkLink);
}

void modelConversion(clRun& run)
{
    if (chosen(run))
        runCommand(run);
    else
        setFlag(run, cmcCellObj::Flag0, run.host.MenuState().modelVariant == 0);
}

void about(clRun& run)
{
    if (chosen(run))
        cmcEvents().Post(cmcEvCode::ShowAbout);
}

void helpContents(clRun& run)
{
    if (chosen(run))
        run.host.OpenHelp({});
}

// Switches the adjustment view: the model main object opens or closes its window, the
// main window sets its flag, and the menus follow.
void switchAdjustView(clRun& run)
{
    cmcEvents().Post(cmcEvCode::ToggleAdjustWindow);
    run.host.RunCommand(clIndex(clLogic::CL_Menu_View_Ad), run.Arg(), {});
    cmcEvents().Send(cmcEvCode::RefreshCommands);
}

void adjustView(clRun& run)
{
    if (chosen(run))
        switchAdjustView(run);
    else
        setFlag(run, cmcCellObj::Flag0, run.host.MenuState().adjustView);
}

void adjustViewUpdate(clRun& run)
{
    if (!chosen(run))
        return;
    if (run.host.MenuState().adjustView)
        runCommand(run);
    else
        switchAdjustView(run);
}

void callSheet(clRun& run)
{
    if (chosen(run) && run.Cell().argText && !run.Cell().argText->empty())
        runCommand(run);
}

// The display name of language n: field 0 (up to a TAB) of entry n of the language list;
// "" past the list's end.
std::string languageName(int n)
{
    if (n < 0)
        return {};
    cmcGTex& languages = LanguageText();
    for (int i = 0; i <= n; ++i) {
        const std::string entry = languages.GetEntry("GI_Sys_Language", i);
        if (!entry.empty() && entry[0] == '#')
            return {};
        if (i == n)
            return FieldOf(entry, '\t', 0).value_or(std::string());
    }
    return {};
}

void languageText(clRun& run)
{
    const std::string name = languageName(run.Arg());
    if (chosen(run) || name.empty()) {
        run.capsule.output = name;
        return;
    }
    setCaption(run, name);
}

// The language setting on the language list; a choice is stored at once (the texts are
// reloaded only when the language window is closed with OK). The cell shows the language's
// display name whatever the codec produced.
void languageSelect(clRun& run)
{
    int language = run.host.Language();
    if (editFlexChoice(run.Codec(), language, "GI_Sheet_Sel_Language", clIndex(clLogic::Flex_Language_ChNo)))
        run.host.SetLanguage(language);
    run.capsule.output = languageName(run.host.Language());
}

// Channel numbers in the model popups, counted from 0 or from 1.
void channelNumberFrom0(clRun& run)
{
    run.capsule.output = Format("%d", run.Arg());
}
void channelNumberFrom1(clRun& run)
{
    run.capsule.output = Format("%d", run.Arg() + 1);
}
// The bit cells of the bit editor (which draws and toggles them itself) and the narrow
// separators between them show no text.
void noText(clRun&) {}

constexpr std::array menuRows{
    clBinding{clLogic::CL_Menu_File_New, command},
    clBinding{clLogic::CL_Menu_File_Open, command},
    clBinding{clLogic::CL_Menu_File_Save, command},
    clBinding{clLogic::CL_Menu_File_SaveAs, command},
    clBinding{clLogic::CL_Menu_File_Print_Current, printCurrent},
    clBinding{clLogic::CL_Menu_File_Print_All, command},
    clBinding{clLogic::CL_Menu_File_Recent, recentFile},
    clBinding{clLogic::CL_Menu_File_Exit, command},
    clBinding{clLogic::CL_Menu_Edit_Top, editTop},
    clBinding{clLogic::CL_Menu_View_FontSize, fontSize},
    clBinding{clLogic::CL_Menu_View_ToolBar, toolBar},
    clBinding{clLogic::CL_Menu_Port_Com, comPort},
    clBinding{clLogic::CL_Menu_Port_Usb, usbPort},
    clBinding{clLogic::CL_Menu_Port_ComList2, command},
    clBinding{clLogic::CL_Menu_Port_SpeedHigh, portSpeed},
    clBinding{clLogic::CL_Menu_Tcpip_Top, noBehaviour},
    clBinding{clLogic::CL_Menu_Tcpip_Address, networkAddress},
    clBinding{clLogic::CL_Menu_Tcpip_Port, command},
    clBinding{clLogic::CL_Menu_Clone_Read, command},
    clBinding{clLogic::CL_Menu_Clone_Write, command},
    clBinding{clLogic::CL_Menu_Clone_Info, command},
    clBinding{clLogic::CL_Menu_Clone_Info_Dummy, command},
    clBinding{clLogic::CL_Menu_Clone_Check, noBehaviour},
    clBinding{clLogic::CL_Menu_Clone_Update, noBehaviour},
    clBinding{clLogic::CL_Menu_Clone_LanuSetting, command},
    clBinding{clLogic::CL_Model_Conv_Lmr_VADOR_Rep, modelConversion},
    clBinding{clLogic::CL_Help_About, about},
    clBinding{clLogic::CL_Help_Contents, helpContents},
    clBinding{clLogic::CL_Menu_Debug_Compare, noBehaviour},
    clBinding{clLogic::CL_Menu_Debug_CorrectComp, noBehaviour},
    clBinding{clLogic::CL_Menu_Debug_25kCheckComp, noBehaviour},
    clBinding{clLogic::CL_Menu_Debug_Window, noBehaviour},
    clBinding{clLogic::CL_Menu_Debug_EeWindow, noBehaviour},
    clBinding{clLogic::CL_Menu_Lang, command},
    clBinding{clLogic::CL_Language_Text, languageText},
    clBinding{clLogic::CL_Menu_Ad_Read, command},
    clBinding{clLogic::CL_Menu_View_Ad, adjustView},
    clBinding{clLogic::CL_Menu_View_Ad_Update, adjustViewUpdate},
    clBinding{clLogic::CallSheet, callSheet},
    clBinding{clLogic::CL_Langage_Select, languageSelect},
    clBinding{clLogic::CL_FBits, noText},
    clBinding{clLogic::CL_Misc_ChNo_0Base, channelNumberFrom0},
    clBinding{clLogic::CL_Misc_ChNo_1Base, channelNumberFrom1},
    clBinding{clLogic::CL_Misc_QuarterPillar, noText},
};

} // namespace

std::span<const clBinding> clMenuLogics()
{
    return menuRows;
}
