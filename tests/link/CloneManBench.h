#pragma once
// The clone manager and the clone sequences against the simulated radio over the in-memory
// link, on virtual time, with the shipped overlay: a document loaded from the initial file,
// a host that records what the windows would show, a scripted responder for the message
// boxes, and a radio whose memory is a proper packed image (different from the document's).
#include "support/ShippedTexts.h"

#include "base/cmcGTex.h"
#include "base/cmcManualTimers.h"
#include "base/cmcScriptedResponder.h"
#include "base/cmcTextTables.h"
#include "cells/datCh.h"
#include "cells/datCounts.h"
#include "cells/datRecordKind.h"
#include "cells/indCloneInfo.h"
#include "cells/indDocument.h"
#include "image/cmcImageGeometry.h"
#include "link/cmcMemoryLink.h"
#include "link/indCloneHost.h"
#include "link/indCloneMan.h"
#include "link/indCloneSequences.h"
#include "link/indWriteImage.h"
#include "radiosim/RadioSim.h"
#include "radiosim/RadioSimMemoryPort.h"

#include <gtest/gtest.h>

#include <deque>
#include <optional>
#include <string>
#include <vector>

namespace manbench {

class RecordingHost final : public indCloneHost {
public:
    void ShowProgress(const std::string& caption) override
    {
        captions.push_back(caption);
        progressOpen = true;
    }
    void UpdateProgress(long long done, long long total) override
    {
        lastDone = done;
        lastTotal = total;
        ++updates;
    }
    void CloseProgress() override { progressOpen = false; }
    void SetWindowsEnabled(bool on) override
    {
        enabled = on;
        enableCalls.push_back(on);
    }
    std::optional<std::string> AskClonePassword() override
    {
        ++passwordAsks;
        if (passwords.empty())
            return std::nullopt;
        std::optional<std::string> answer = passwords.front();
        passwords.pop_front();
        return answer;
    }
    void ImageRead() override { ++imagesRead; }
    void ImageWritten() override { ++imagesWritten; }
    void ShowCloneInfo(const indCloneInfo& info) override { shownInfo = info; }
    int CountDataErrors() override { return dataErrors; }

    std::vector<std::string> captions;
    bool progressOpen = false;
    long long lastDone = -1;
    long long lastTotal = -1;
    int updates = 0;
    bool enabled = true;
    std::vector<bool> enableCalls;
    std::deque<std::optional<std::string>> passwords; // answers of the password dialog
    int passwordAsks = 0;
    int imagesRead = 0;
    int imagesWritten = 0;
    std::optional<indCloneInfo> shownInfo;
    int dataErrors = 0;
};

inline std::string InitialFile()
{
    return ShippedTexts::ProgramFolder() + "RB8826T_Initial.icf";
}

inline void SetChannel(cmcEeprom& working, int slot, std::uint32_t rx, std::uint32_t tx)
{
    datCh channel(working);
    channel.decode(datKindChannel, slot);
    channel.Set(datField::ChRxFreq, rx);
    channel.Set(datField::ChTxFreq, tx);
    channel.encode(datKindChannel, slot);
    if (datChannelCount(working, 0) <= slot)
        datSetChannelCount(working, 0, slot + 1);
}

inline std::uint32_t ChannelRx(cmcEeprom& working, int slot)
{
    datCh channel(working);
    channel.decode(datKindChannel, slot);
    return channel.Get(datField::ChRxFreq);
}

// A radio's memory as the radio keeps it: a document with three channels, packed.
inline void MakeRadioImage(cmcEeprom& out)
{
    indDocument radio;
    EXPECT_EQ(radio.LoadInitialFile(InitialFile()), cmcIcfResult::Ok);
    for (int slot = 0; slot < 3; ++slot)
        SetChannel(radio.Working(), slot, 440'000'000 + 12'500 * static_cast<std::uint32_t>(slot),
                   445'000'000);
    AddressRangeList ranges;
    indCloneInfo info;
    info.bytes[35] = 1;
    EXPECT_TRUE(indPrepareWriteImage(radio, info, true, out, ranges));
}

inline bool SameBytes(const cmcEeprom& a, const cmcEeprom& b, int first, int last)
{
    for (int i = first; i <= last; ++i)
        if (a.GetByte(i) != b.GetByte(i))
            return false;
    return true;
}

class Bench {
public:
    explicit Bench(RadioSimConfig config = {}, bool network = false)
        : port_(link), sim(std::move(config), port_), man(link.Factory(), host), seq(man, document, host)
    {
        port_.Attach(sim);
        MakeRadioImage(radioImage);
        sim.SetMemory(radioImage);
        sim.Start();
        EXPECT_EQ(document.LoadInitialFile(InitialFile()), cmcIcfResult::Ok);
        // One programmed channel, so a write is not refused; saved as a file would be.
        SetChannel(document.Working(), 0, 150'000'000, 155'000'000);
        document.MarkSaved();
        indLinkSettings settings;
        settings.network = network;
        settings.comPort = 3;
        man.SetLinkSettings(settings);
        before.CopyFrom(document.Working());
    }

    // Collects the outcome of a sequence.
    indCloneSequences::Done Collect()
    {
        return [this](const indCloneSequences::Outcome& o) {
            ++doneCalls;
            outcome = o;
        };
    }

    // Advances the clock until the sequence ended and the drivers are idle.
    bool Run(std::uint32_t limitMs = 600000)
    {
        for (std::uint32_t t = 0; t < limitMs && (man.IsBusy() || !outcome); t += 10)
            timers.Advance(10);
        return outcome.has_value() && !man.IsBusy();
    }

    std::optional<indCloneSequences::Outcome> Read()
    {
        EXPECT_TRUE(seq.ReadRadio(Collect()));
        EXPECT_TRUE(Run());
        return outcome;
    }
    std::optional<indCloneSequences::Outcome> Write()
    {
        EXPECT_TRUE(seq.WriteRadio(Collect()));
        EXPECT_TRUE(Run());
        return outcome;
    }

    // The error boxes shown (icon Error).
    [[nodiscard]] std::vector<cmcMessage> Errors() const
    {
        std::vector<cmcMessage> found;
        for (const cmcMessage& m : boxes.Boxes())
            if (m.icon == cmcMbIcon::Error)
                found.push_back(m);
        return found;
    }
    [[nodiscard]] int FramesFromProgram(std::uint8_t command) const { return sim.CountFrames(command, true); }

    // The document is as it was before the sequence.
    void ExpectDocumentUnchanged(const std::string& path = {}) const
    {
        EXPECT_TRUE(document.Working().Equals(before));
        EXPECT_FALSE(document.IsModified());
        EXPECT_EQ(document.Path(), path);
    }

    ShippedTexts texts;     // first: the overlay every message reads
    cmcManualTimers timers; // before everything that ticks
    cmcScriptedResponder boxes;
    cmcMemoryLink link;

private:
    RadioSimMemoryPort port_;

public:
    RadioSim sim;
    cmcEeprom radioImage;
    indDocument document;
    RecordingHost host;
    indCloneMan man;
    indCloneSequences seq;
    cmcEeprom before;
    std::optional<indCloneSequences::Outcome> outcome;
    int doneCalls = 0;
};

} // namespace manbench
