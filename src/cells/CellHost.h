#pragma once
// What a cell needs from the program around it. The cells run without any window: the
// dispatcher, codecs and record logics ask for popups, the clipboard, help and the main
// window's commands through this interface. The program implements it on its windows, the
// command-line tool on its scripted answers, tests with a recording fake.
//
// A popup opens and the run returns at once (return code 1); the user's choice arrives
// later as a new run with op 2 and a source capsule carrying the popup's Flex code.
#include "cells/cmcCellCapsule.h"

#include <string>

class indDocument;

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
    virtual void OpenModelSelectionPopup(const cmcCellCapsule& opener, const std::string& listName, int flexCode,
                                         int currentValue, const std::string& title) = 0;
    // The bit-field popup on positions first..last of bits (first in the most significant
    // place); its result comes back as a decimal number in `input`.
    virtual void OpenBitFieldPopup(const cmcCellCapsule& opener, unsigned bits, int first, int last,
                                   int labelStyle) = 0;
    // The text popup on an escaped text, at most maxLength characters.
    virtual void OpenTextPopup(const cmcCellCapsule& opener, const std::string& escapedText, int maxLength) = 0;
    // The character editor on a bit matrix given as '0'/'1' characters row by row.
    virtual void OpenCharacterEditor(const cmcCellCapsule& opener, const std::string& bits, int width,
                                     int height) = 0;

    // --- the rest of the program ---
    virtual void SetClipboardText(const std::string& text) = 0;
    // Opens the help file at a topic (a number or a page name).
    virtual void OpenHelp(const std::string& topic) = 0;
};
