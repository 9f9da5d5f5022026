#pragma once
// The dispatcher tests' host: the recording FakeCellHost, plus the main window's side of
// the cells (commands, menu state, recent files, language, serial number, re-check turns)
// recorded or set by the test. DispatcherBed holds it with the overlay, virtual timers, an
// event manager that records what is raised, the record-table service and a scripted
// message responder.
#include "FakeCellHost.h"
#include "RecordTestImage.h"

#include "base/cmcScriptedResponder.h"
#include "base/cmcText.h"
#include "cells/datClipCh.h"
#include "cells/datMemoryMap.h"
#include "cells/datRecordService.h"
#include "cells/indActiveCell.h"

#include <map>
#include <optional>
#include <string>
#include <vector>

struct DispatchCommand {
    int logic = 0;
    int arg = 0;
    std::string text;
    bool operator==(const DispatchCommand&) const = default;
};

class DispatchHost : public FakeCellHost {
public:
    void RunCommand(int logic, int arg, const std::string& text) override
    {
        commands.push_back({logic, arg, text});
    }
    [[nodiscard]] CellMenuState MenuState() const override { return menu; }
    [[nodiscard]] std::optional<std::string> RecentEntry(int n) const override
    {
        const auto found = recent.find(n);
        return found == recent.end() ? std::nullopt : std::optional<std::string>(found->second);
    }
    [[nodiscard]] int Language() const override { return language; }
    void SetLanguage(int l) override { language = l; }
    [[nodiscard]] std::string SerialNumber() const override { return serial; }
    void OpenHelpPopup(int topic) override { helpPopups.push_back(topic); }
    void AfterEventRun() override { ++afterEventRuns; }
    datClipCh& Clipboard() override { return records; }

    std::vector<DispatchCommand> commands;
    CellMenuState menu;
    std::map<int, std::string> recent;
    int language = 0;
    std::string serial;
    std::vector<int> helpPopups;
    int afterEventRuns = 0;
    datClipCh records; // the record clipboard of this host alone
};

class DispatcherBed {
public:
    // Runs the cell's capsule through the dispatcher.
    int Dispatch(FakeCell& cell, bool notify = false)
    {
        return indActiveCell(host).run(cell.capsule, notify);
    }
    indActiveCell Cells() { return indActiveCell(host); }
    cmcEeprom& Image() { return host.Image(); }
    // Channels 0 .. n-1 of bank 0 in use ("CH0", "CH1", ...), the image packed again.
    void ProgramChannels(int n)
    {
        datSetChannelCount(Image(), 0, n);
        for (int i = 0; i < n; ++i)
            ProgramChannel(Image(), i, 150'000'000u + 12'500u * static_cast<std::uint32_t>(i),
                           "CH" + std::to_string(i));
        (void)Static2Dynamic(Image(), false);
    }
    // The channel's name without its padding.
    std::string ChannelName(int slot)
    {
        datCh ch(Image());
        ch.decode(datKindChannel, slot);
        return TrimBlanks(ch.Text(datField::ChName));
    }

    CellTestBed bed; // overlay, timers, recording event manager
    DispatchHost host;
    // Adds and removes channels, repeaters and ID-list entries as the main window does.
    datRecordService service{bed.events, host.Image(), host.Document().Default()};
    cmcScriptedResponder boxes;
    SwitchesGuard switches;
};
