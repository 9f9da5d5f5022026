#pragma once
// What a cell needs from the program around it. The cells run without any window: the
// dispatcher, codecs and record logics ask for popups, the clipboard, help and the main
// window's commands through this interface. The program implements it on its windows, the
// command-line tool on its scripted answers, tests with a recording fake.
//
// A popup opens and the run returns at once (return code 1); the user's choice arrives
// later as a new run with op 2 and a source capsule carrying the popup's Flex code.
#include "cells/cmcCellCapsule.h"

#include <cstdint>
#include <optional>
#include <string>

class datClipCh;
class indDocument;
struct indCloneInfo;

// What the display rules of menu items and tool buttons read: settings and window state of
// the main window (check marks, disabled items, the Edit menu's fill).
struct CellMenuState {
    int zoomPercent = 100; // the sheets' font size percentage
    bool toolBarShown = true;
    bool networkLink = false;     // the TCP link is selected, else the serial link
    int comPort = 1;              // the serial link's port number
    int comSpeedHigh = 0;         // the serial link's speed setting
    bool adjustView = false;      // the adjustment window is on
    int modelVariant = 0;         // the model type (this family serves 0 only)
    bool canPrintCurrent = false; // a sheet is shown and can print
    std::intptr_t mainMenu = 0;   // the main menu, for the fill request of the Edit menu
    bool editMenuEmpty = false;   // the main menu's Edit item has no sub-items
};

class CellHost {
public:
    virtual ~CellHost() = default;

    // The document whose images the cells edit (working image, default image).
    virtual indDocument& Document() = 0;
    // The bank the channel cells address (this family has one bank, 0).
    [[nodiscard]] virtual int CurrentBank() const { return 0; }
    [[nodiscard]] virtual bool MakerMode() const { return false; }

    // --- popups (the opener is the capsule of the cell that asks) ---
    // A selection list ("%s_Cells" of listName) with the item of currentValue marked.
    virtual void OpenSelectionPopup(const cmcCellCapsule& opener, const std::string& listName, int flexCode,
                                    int currentValue) = 0;
    // The model selection popup for large lists, with a title.
    virtual void OpenModelSelectionPopup(const cmcCellCapsule& opener, const std::string& listName,
                                         int flexCode, int currentValue, const std::string& title) = 0;
    // The bit-field popup on positions first..last of bits (first in the most significant
    // place); its result comes back as a decimal number in `input`.
    virtual void OpenBitFieldPopup(const cmcCellCapsule& opener, unsigned bits, int first, int last,
                                   int labelStyle) = 0;
    // The text popup on an escaped text, at most maxLength characters.
    virtual void OpenTextPopup(const cmcCellCapsule& opener, const std::string& escapedText,
                               int maxLength) = 0;
    // The character editor on a bit matrix given as '0'/'1' characters row by row.
    virtual void OpenCharacterEditor(const cmcCellCapsule& opener, const std::string& bits, int width,
                                     int height) = 0;

    // --- the rest of the program ---
    virtual void SetClipboardText(const std::string& text) = 0;
    // Opens the help file at a topic (a number or a page name); "" opens the file itself.
    virtual void OpenHelp(const std::string& topic) = 0;
    // Shows the help file's page of a topic number in the small help popup.
    virtual void OpenHelpPopup(int topic) { OpenHelp(std::to_string(topic)); }

    // The program's record clipboard (copy, paste); the default is one for the process.
    virtual datClipCh& Clipboard();
    // The repeater site the repeater cells address (this family has one site, 0).
    [[nodiscard]] virtual int CurrentSite() const { return 0; }
    // The clone information record the clone information cells show (the radio's latest
    // answer, or the built-in sample); none when there is none.
    [[nodiscard]] virtual const indCloneInfo* CloneInfo() const { return nullptr; }
    // The 12 serial-number characters of the radio's latest clone information, "" when none;
    // by default those of CloneInfo().
    [[nodiscard]] virtual std::string SerialNumber() const;
    // After every run that carried an event: the model restarts its 250 ms re-check and the
    // main window compares the working image with the saved state (the modified flag).
    virtual void AfterEventRun() {}

    // --- main window commands (menu items, tool buttons, tree nodes) ---
    // Carries out the command of a menu logic (its index), with the cell's argument and text
    // argument: file, print, port, dialog, clone, view and sheet commands. Events that a
    // command raises for the other windows are raised by the logic itself. A host without a
    // main window ignores commands.
    virtual void RunCommand(int logic, int arg, const std::string& text)
    {
        (void)logic;
        (void)arg;
        (void)text;
    }
    [[nodiscard]] virtual CellMenuState MenuState() const { return {}; }
    // The caption text of recent file entry n (its shortened name), none when there is none.
    [[nodiscard]] virtual std::optional<std::string> RecentEntry(int n) const
    {
        (void)n;
        return std::nullopt;
    }
    // The language setting: an entry of the language list GI_Sys_Language.
    [[nodiscard]] virtual int Language() const { return 0; }
    virtual void SetLanguage(int language) { (void)language; }
};
