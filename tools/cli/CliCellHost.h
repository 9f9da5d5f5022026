#pragma once
// The cells' host in the command-line tool: the session's document, no windows. A popup a
// cell asks for is only noted, so the command can answer it as a user would; message boxes
// are noted too and answered with their first button (OK, Yes), so confirmations proceed
// and refusals can be reported. The host installs an event manager with the record-table
// service for its lifetime, so cells that add channels, repeaters and ID-list entries do it
// as in the program.
#include "base/cmcEvMan.h"
#include "base/cmcMessageBox.h"
#include "cells/CellHost.h"
#include "cells/datRecordService.h"

#include <memory>
#include <string>
#include <vector>

// The popup a run asked for.
struct CliPopup {
    enum class Kind { None, Selection, ModelSelection, BitField, Text, CharacterEditor };
    Kind kind = Kind::None;
    std::string list;
    int flex = 0;
    int current = 0;
    int first = 0; // bit field: positions first..last
    int last = 0;
    int width = 0; // character editor
    int height = 0;
};

class CliCellHost final : public CellHost {
public:
    explicit CliCellHost(indDocument& document);
    ~CliCellHost() override;
    CliCellHost(const CliCellHost&) = delete;
    CliCellHost& operator=(const CliCellHost&) = delete;

    indDocument& Document() override { return document_; }
    void OpenSelectionPopup(const cmcCellCapsule& opener, const std::string& listName, int flexCode,
                            int currentValue) override;
    void OpenModelSelectionPopup(const cmcCellCapsule& opener, const std::string& listName, int flexCode,
                                 int currentValue, const std::string& title) override;
    void OpenBitFieldPopup(const cmcCellCapsule& opener, unsigned bits, int first, int last,
                           int labelStyle) override;
    void OpenTextPopup(const cmcCellCapsule& opener, const std::string& escapedText, int maxLength) override;
    void OpenCharacterEditor(const cmcCellCapsule& opener, const std::string& bits, int width,
                             int height) override;
    void SetClipboardText(const std::string&) override {}
    void OpenHelp(const std::string&) override {}

    // The popup asked for since the last call (Kind::None when none), forgotten.
    CliPopup TakePopup();
    // The texts of the message boxes with an OK button alone (refusals and errors) shown
    // since the last call, forgotten.
    std::vector<std::string> TakeRefusals();

private:
    class Responder final : public cmcMessageResponder {
    public:
        cmcMbResult Respond(const cmcMessage& message) override;
        std::vector<std::string> refusals;
    };

    indDocument& document_;
    cmcEvMan events_;
    cmcEvMan* previousEvents_;
    std::unique_ptr<datRecordService> service_;
    Responder responder_;
    cmcMessageResponder* previousResponder_;
    CliPopup popup_;
};
