#pragma once
// A CellHost for the cell tests: a document loaded from the shipped initial file, popups,
// clipboard and help requests recorded instead of shown. FakeCell owns a cell and the
// capsules of one run, and builds the usual events (draw, key, typed text, popup choice).
// CellTestBed installs what a cell run needs around them: the shipped English overlay,
// virtual timers and an event manager whose events are recorded.
#include "base/cmcEvMan.h"
#include "base/cmcManualTimers.h"
#include "cells/CellHost.h"
#include "cells/clLogic.h"
#include "cells/clRun.h"
#include "cells/cmcCellCapsule.h"
#include "cells/ctCategory.h"
#include "cells/indDocument.h"
#include "support/ShippedTexts.h"

#include <cstdint>
#include <string>
#include <vector>

// One popup a cell asked for.
struct FakePopupRequest {
    enum class Kind { Selection, ModelSelection, BitField, Text, CharacterEditor };
    Kind kind = Kind::Selection;
    int openerLogic = clNoLogic; // the opening cell
    int openerArg = 0;
    std::string list;  // selection lists
    int flex = 0;      // Flex code of the result
    int current = 0;   // current value (selection), bit set (bit field)
    std::string title; // model selection popup
    std::string text;  // text popup: the escaped text; character editor: the '0'/'1' dots
    int first = 0;     // bit field: positions first..last and the label style
    int last = 0;
    int labelStyle = 0;
    int maxLength = 0; // text popup
    int width = 0;     // character editor
    int height = 0;
};

class FakeCellHost : public CellHost {
public:
    // Loads the shipped initial file; the overlay must be installed (CellTestBed does it).
    FakeCellHost();

    indDocument& Document() override { return document_; }
    [[nodiscard]] int CurrentBank() const override { return currentBank; }
    [[nodiscard]] bool MakerMode() const override { return makerMode; }

    void OpenSelectionPopup(const cmcCellCapsule& opener, const std::string& listName, int flexCode,
                            int currentValue) override;
    void OpenModelSelectionPopup(const cmcCellCapsule& opener, const std::string& listName, int flexCode,
                                 int currentValue, const std::string& title) override;
    void OpenBitFieldPopup(const cmcCellCapsule& opener, unsigned bits, int first, int last,
                           int labelStyle) override;
    void OpenTextPopup(const cmcCellCapsule& opener, const std::string& escapedText, int maxLength) override;
    void OpenCharacterEditor(const cmcCellCapsule& opener, const std::string& bits, int width,
                             int height) override;
    void SetClipboardText(const std::string& text) override { clipboard = text; }
    void OpenHelp(const std::string& topic) override { helpTopics.push_back(topic); }

    [[nodiscard]] cmcEeprom& Image() { return document_.Working(); }
    // The last popup asked for; fails the test when there was none.
    [[nodiscard]] const FakePopupRequest& LastPopup() const;

    int currentBank = 0;
    bool makerMode = false;
    std::vector<FakePopupRequest> popups;
    std::string clipboard;
    std::vector<std::string> helpTopics;

private:
    void record(const cmcCellCapsule& opener, FakePopupRequest request);
    indDocument document_;
};

// A cell (category, logic, argument) with the capsule of one run. Each event method resets
// what a run produces (output, state, selection, redirect, return code) and sets up the
// event; the capsule is then handed to a logic or codec. Not copyable: the capsule points
// at the cells held here.
class FakeCell {
public:
    FakeCell(ctCategory category, clLogic logic, int arg = 0);
    FakeCell(int category, int logic, int arg = 0);
    FakeCell(const FakeCell&) = delete;
    FakeCell& operator=(const FakeCell&) = delete;

    // Drawing or evaluation: no event source.
    cmcCellCapsule& Draw();
    // A key (cmcKey or a printable character) from the sheet.
    cmcCellCapsule& Key(int key);
    // op 1: the in-place editor or text popup closed with this text.
    cmcCellCapsule& Input(const std::string& text);
    // op 2: a popup closed with the item of logic flex and value arg (the label becomes the
    // item's text argument when given); input carries the bit-field or text result.
    cmcCellCapsule& Choice(clLogic flex, int value, const std::string& label = {},
                           const std::string& input = {});
    // The codec context of this run, its return code in result.
    [[nodiscard]] cmcCodecContext Context(CellHost& host) { return {capsule, host, result}; }

    cmcCellObj cell;
    cmcCellObj sourceCell;
    cmcCellCapsule source;
    cmcCellCapsule capsule;
    int result = 0;

private:
    cmcCellCapsule& begin(bool event);
    int eventSourceTag_ = 0; // any non-null address marks an interactive event
};

// The shipped overlay, virtual timers, an installed event manager that records what is
// raised, and the fake host. Construct it as a member of a test fixture.
struct FakeRaisedEvent {
    cmcEvCode code{};
    std::intptr_t arg1 = 0;
    std::intptr_t arg2 = 0;
};

class CellTestBed {
public:
    CellTestBed();
    ~CellTestBed();
    CellTestBed(const CellTestBed&) = delete;
    CellTestBed& operator=(const CellTestBed&) = delete;

    // Lets the dispatcher deliver posted events, then returns (and forgets) every event
    // raised since the last call, idle turns left out.
    std::vector<FakeRaisedEvent> TakeEvents();
    // Whether code is among the events TakeEvents returns now.
    bool Raised(cmcEvCode code);

    ShippedTexts texts;
    cmcManualTimers timers;
    cmcEvMan events;
    FakeCellHost host;

private:
    static void onEvent(void* user, const cmcEvent& event);
    cmcEvMan* previous_ = nullptr;
    std::vector<FakeRaisedEvent> raised_;
};
