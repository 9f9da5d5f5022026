#pragma once
// What a sheet needs around it in the tests: the shipped English overlay joined with the
// sheet fixtures of data/TestSheets.ovl as the main text table, virtual timers, an event
// manager, settings in memory, the document on the shipped initial file with the
// record-table service, the screen's cell host and a scripted message responder. Sheets
// open in a top-level window of their own, shown and focused.
#include "base/cmcEvMan.h"
#include "base/cmcGTex.h"
#include "base/cmcHelpGTex.h"
#include "base/cmcManualTimers.h"
#include "base/cmcMemorySettingsStore.h"
#include "base/cmcScriptedResponder.h"
#include "cells/datRecordService.h"
#include "cells/indDocument.h"
#include "ui/cuiCellHost.h"
#include "ui/cuiSheet.h"

#include <QWidget>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class UiTestBed {
public:
    UiTestBed();
    ~UiTestBed();
    UiTestBed(const UiTestBed&) = delete;
    UiTestBed& operator=(const UiTestBed&) = delete;

    // Lays out the sheet name of the main text table in a shown window; configure runs
    // before Build (handler, popup mode, width key).
    cuiSheet& Open(const std::string& name, const std::function<void(cuiSheet&)>& configure = {});
    // Closes the window of the sheet opened last (the sheet saves its widths).
    void Close();
    [[nodiscard]] QWidget& Window() { return *window_; }

    // Channels 0 .. n-1 of bank 0 in use, named "CH0", "CH1" ..., the image packed again.
    void ProgramChannels(int n);
    [[nodiscard]] cmcEeprom& Image() { return document.Working(); }
    // Lets posted events and pending paints run.
    void Settle();

    static std::vector<std::string> OverlayLines();

    cmcGTex main;
    cmcGTex languages;
    cmcHelpGTex help;
    cmcManualTimers timers;
    cmcEvMan events;
    cmcMemorySettingsStore settings;
    cmcScriptedResponder boxes;
    indDocument document;
    cuiCellHost host;
    std::unique_ptr<datRecordService> records;

private:
    cmcSettingsStore* previousStore_ = nullptr;
    cmcEvMan* previousEvents_ = nullptr;
    std::unique_ptr<QWidget> window_;
};
