#pragma once
// The argument and result record of one cell-logic run: the caller (a sheet, menu, popup or
// evaluation helper) fills in the cell and the event, the dispatcher fills in the display
// text, the warning and error state, the redirect and the editor selection.
#include "cells/cmcCellObj.h"

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

struct cmcCellCapsule;

// Result flags of a run: which visible cells the caller repaints.
namespace cmcRepaint {
inline constexpr int SameCell = 1;        // same logic and argument
inline constexpr int SameCategory = 2;
inline constexpr int SameLogic = 4;
inline constexpr int SameRecord = 8;      // same argument (cells with a logic and a category)
inline constexpr int Neighbours = 16;     // same category, argument within one
inline constexpr int All = 32;            // every cell with a logic
inline constexpr int Before = 64;         // smaller argument
inline constexpr int After = 128;         // larger argument
} // namespace cmcRepaint

// Return codes of a run.
namespace cmcRunResult {
inline constexpr int Done = 0;
inline constexpr int PopupOpened = 1;  // the sheet clears its block selection
inline constexpr int StartEditor = 2;  // in-place editor on `output`, caret selStart/selLength
} // namespace cmcRunResult

// Keys of a run besides printable characters.
namespace cmcKey {
inline constexpr int Backspace = 8;
inline constexpr int Enter = 13;
inline constexpr int Space = 32;
inline constexpr int DoubleClick = 256; // treated as Enter
// 256 times a virtual-key code for the keys a sheet passes on (F1 to F12, Left/Right at an edge).
inline constexpr int Virtual(int code) { return 256 * code; }
} // namespace cmcKey

// How a sheet paints `output`: as plain text, as a text in the radio's character set
// (escaped as the text codec writes it) drawn in the radio's dot-matrix glyphs, or by the
// cell handler itself (popup editors that draw their own marks).
enum class cmcPaint : std::uint8_t { Text, RadioText, Custom };

struct cmcCellRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

struct cmcCellCapsule {
    // State bits.
    static constexpr std::uint8_t Current = 0x01;
    static constexpr std::uint8_t Printing = 0x02;
    static constexpr std::uint8_t Warning = 0x04;
    static constexpr std::uint8_t Error = 0x08;
    // Operations.
    static constexpr int OpKeyOrDraw = 0;
    static constexpr int OpSetInput = 1;   // the in-place editor closed with Enter: `input`
    static constexpr int OpPopupChoice = 2; // a popup closed with a choice: `source`

    using Notify = std::function<void(cmcCellCapsule& capsule, int flags)>;

    const cmcCellCapsule* source = nullptr; // popup choice, or the cell owning a popup menu
    int record = 0;                          // record for check logics (bank of a bank check)
    void* owner = nullptr;                   // the window object owning the cell (opaque here)
    void* eventSource = nullptr;             // set for an interactive event; none while drawing
    cmcCellObj* cell = nullptr;              // not owned
    bool drawing = false;                    // a canvas is present (the cell is being drawn)
    std::optional<std::uint32_t> fontColour; // set by the logic while drawing
    void* images = nullptr;                  // the sheet's image list (opaque here)
    cmcCellRect rect;
    int selStart = 0;
    int selLength = 0;
    int key = 0;
    int command = 0; // logic index of a popup-menu command, 0 for none
    std::string input;
    std::string output;
    std::uint8_t state = 0;
    int markPos = 0;
    cmcPaint paintAs = cmcPaint::Text; // set by the logic while drawing
    int op = OpKeyOrDraw;
    // flag, category, logic, argument of the cell to move to, key to re-send there (0 none)
    std::array<int, 5> redirect{};
    void* sheet = nullptr; // the sheet owning the cell (opaque here)
    bool multiSel = false;
    int selFirst = 0;
    int selLast = 0;
    Notify notify;    // called with the result flags after the cell changed, when asked for
    Notify notifyAux; // the owning sheet's second callback

    [[nodiscard]] bool HasEvent() const { return eventSource != nullptr; }
    [[nodiscard]] bool IsWarning() const { return (state & Warning) != 0; }
    [[nodiscard]] bool IsError() const { return (state & Error) != 0; }
    void SetWarning() { state |= Warning; }
    void SetError() { state |= Error; }
    // Every field cleared, input and output empty.
    void Reset() { *this = cmcCellCapsule{}; }
};
