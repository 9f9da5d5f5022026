#pragma once
// What the cells ask of the screen: the popup editors next to the opening cell (selection
// lists, model selection popups, the bit-field and text popups), the clipboard, help and the
// main window's commands. Message boxes need nothing here: the cells show them through
// cmcMessageBox, whose responder the program installs.
//
// Help and commands are hooks: the help viewer and the main window manager plug in their
// handlers when they exist; without one, help requests and commands do nothing (a sheet
// opened on its own, as the development viewer does, has no main window to command).
#include "cells/CellHost.h"

#include <QPointer>

#include <functional>
#include <string>

#include "ui/cuiPopup.h"

class cuiCellHost : public CellHost {
public:
    using HelpHandler = std::function<void(const std::string& topic)>;
    using CommandHandler = std::function<void(int logic, int arg, const std::string& text)>;

    // zoomPercent: the sheets' font size percentage (the display setting).
    cuiCellHost(indDocument& document, int zoomPercent);
    ~cuiCellHost() override;
    cuiCellHost(const cuiCellHost&) = delete;
    cuiCellHost& operator=(const cuiCellHost&) = delete;

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
    void SetClipboardText(const std::string& text) override;
    void OpenHelp(const std::string& topic) override;
    void RunCommand(int logic, int arg, const std::string& text) override;
    [[nodiscard]] CellMenuState MenuState() const override;

    void SetHelpHandler(HelpHandler handler) { help_ = std::move(handler); }
    void SetCommandHandler(CommandHandler handler) { command_ = std::move(handler); }
    void SetZoomPercent(int percent) { zoomPercent_ = percent; }

    // The popup opened last while it is open (tests drive it), none otherwise.
    [[nodiscard]] cuiPopup* LastPopup() const { return last_.data(); }

private:
    indDocument& document_;
    int zoomPercent_;
    HelpHandler help_;
    CommandHandler command_;
    QPointer<cuiPopup> last_;
};
