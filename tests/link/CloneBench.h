#pragma once
// The clone driver against the simulated radio over the in-memory link, on virtual time:
// the line setup the clone manager makes (wake-up script, speeds, preambles, password,
// clone direction), a callback that keeps what the result record carried, and a run loop
// that advances the clock until the operation has finished.
#include "base/cmcManualTimers.h"
#include "base/cmcText.h"
#include "image/cmcEeprom.h"
#include "link/cmcCloneDrv.h"
#include "link/cmcMemoryLink.h"
#include "radiosim/RadioSim.h"
#include "radiosim/RadioSimMemoryPort.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace bench {
using Bytes = std::vector<std::uint8_t>;

// What a finished operation handed to its callback.
struct Outcome {
    int calls = 0;
    cmcCloneCode code = cmcCloneCode::LinkOpen;
    cmcCloneKind kind = cmcCloneKind::None;
    std::uint16_t word1 = 0;
    std::uint16_t word2 = 0;
    Bytes info;
    Bytes image;
    Bytes receivedMap;
    bool retryMode = false;
    std::uint32_t atMs = 0;
};

inline std::uint8_t PatternByte(int address)
{
    return static_cast<std::uint8_t>(address * 7 + address / 256 + 3);
}

// An image of size bytes holding the pattern (or its complement).
inline void FillPattern(cmcEeprom& image, int size, bool complement = false)
{
    image.SetSize(size);
    for (int a = 0; a < size; ++a)
        image.SetByte(a, static_cast<std::uint8_t>(complement ? ~PatternByte(a) : PatternByte(a)));
}

// Each byte as two ASCII hex digits, each digit as its own hex pair ("04" gives "3034").
inline std::string AsciiHexTemplate(const Bytes& bytes)
{
    std::string out;
    for (const std::uint8_t b : bytes) {
        const std::string digits = Format("%02X", b);
        out += Format("%02X%02X", digits[0], digits[1]);
    }
    return out;
}

struct LineSetup {
    bool network = false;
    bool highSpeed = true;
    std::string password;          // sent in the script when not empty
    std::optional<bool> direction; // the clone direction command: true for writing
};

class Bench {
public:
    static constexpr int SimPort = 3;
    static constexpr int AdaptorPort = 41000;

    explicit Bench(RadioSimConfig config = {}, int imageSize = 0x10000)
        : port_(link), sim(std::move(config), port_), drv(link.Factory())
    {
        port_.Attach(sim);
        cmcEeprom memory;
        FillPattern(memory, 0x10000);
        sim.SetMemory(memory);
        sim.Start();
        drv.SetModelWords(0x8826, 0x0000);
        drv.SetImageSize(imageSize);
    }

    // The line setup of the clone manager for one operation.
    void Configure(const LineSetup& setup)
    {
        const std::uint16_t w1 = drv.ModelWord1();
        const auto speed = [w1](bool at38400) {
            return Format("FEFEFEFEFEFEFEFEFEFEFEFEFEFEFEFEFEFEFEFE EEEF E8 %04X%04X 01 %02X%02X FD", w1, 0,
                          at38400 ? '2' : '0', at38400 ? '7' : '9');
        };
        std::string script;
        if (!setup.network)
            script += "(38400,N,8,1)" + speed(true) + "(9600,N,8,1)";
        if (!setup.password.empty()) {
            Bytes bytes{static_cast<std::uint8_t>(setup.password.size()), 0};
            unsigned sum = 0;
            for (const char c : setup.password) {
                bytes.push_back(static_cast<std::uint8_t>(c));
                sum += static_cast<std::uint8_t>(c);
            }
            bytes[1] = static_cast<std::uint8_t>(0x100 - (sum & 0xFF));
            script += Format("FEFE EEEF E8 %04X%04X 99 ", w1, 0) + AsciiHexTemplate(bytes) + " FD";
        }
        if (setup.direction)
            script +=
                Format("FEFE EEEF E8 %04X%04X 55 %02X%02X FD", w1, 0, '0', *setup.direction ? '1' : '0');
        if (setup.network) {
            drv.SetLinkChoice(cmcCloneDrv::LinkChoice::Network);
            drv.SetNetwork(AdaptorPort, "192.168.0.11");
        } else {
            drv.SetLinkChoice(cmcCloneDrv::LinkChoice::Serial);
            script += setup.highSpeed ? "(9600,N,8,1)" + speed(false) : "(38400,N,8,1)" + speed(true);
            drv.SetLine(SimPort, setup.highSpeed ? "38400,N,8,1" : "9600,N,8,1");
            drv.SetPreamble(setup.highSpeed ? 48 : 12);
        }
        drv.SetScript(script);
        drv.SetDataPreamble(0, 0);
        drv.SetSendFrameCount(true);
        drv.SetBlockAck(128, 0);
        drv.SetTimeouts(350, 350, 350, 350, 2000);
        drv.SetPasswordSent(!setup.password.empty());
    }

    // A callback that keeps what the record carried in outcome.
    cmcCloneDrv::Callback Collect()
    {
        return [this](dst_CDrv_Result& r) {
            ++outcome.calls;
            outcome.code = r.code;
            outcome.kind = r.kind;
            outcome.word1 = r.modelWord1;
            outcome.word2 = r.modelWord2;
            outcome.info.assign(r.info.Data(), r.info.Data() + r.info.Size());
            outcome.image.assign(r.image.Bytes(), r.image.Bytes() + r.image.GetSize());
            outcome.receivedMap.assign(r.receivedMap.Data(), r.receivedMap.Data() + r.receivedMap.Size());
            outcome.retryMode = r.retryMode;
            outcome.atMs = timers.NowMs();
        };
    }

    // Advances the clock in driver ticks until the operation has finished; false when it
    // is still running after limitMs.
    bool Run(std::uint32_t limitMs = 300000)
    {
        const int before = outcome.calls;
        for (std::uint32_t t = 0; t < limitMs && (drv.IsBusy() || outcome.calls == before); t += 10)
            timers.Advance(10);
        return !drv.IsBusy();
    }

    // Runs one operation from the start; its code.
    cmcCloneCode Info(const LineSetup& setup = {})
    {
        Configure(setup);
        EXPECT_TRUE(drv.StartInfo(Collect()));
        EXPECT_TRUE(Run());
        return outcome.code;
    }
    cmcCloneCode Read(const AddressRangeList& ranges, const LineSetup& setup = {})
    {
        Configure(setup);
        EXPECT_TRUE(drv.StartRead(ranges, Collect()));
        EXPECT_TRUE(Run());
        return outcome.code;
    }
    cmcCloneCode Write(const cmcEeprom& image, const AddressRangeList& ranges, LineSetup setup = {})
    {
        Configure(setup);
        drv.SetTimeouts(5000, 0, 0, 20000, 0);
        drv.SetMainRevision(sim.Config().revision);
        EXPECT_TRUE(drv.StartWrite(image, ranges, Collect()));
        EXPECT_TRUE(Run());
        return outcome.code;
    }

    // The frames of one command the radio got from the program, in order.
    [[nodiscard]] std::vector<RadioSimFrame> FramesFromProgram(std::uint8_t command) const
    {
        std::vector<RadioSimFrame> found;
        for (const RadioSimFrame& f : sim.Frames())
            if (f.fromProgram && f.bytes.size() > 4 && f.bytes[4] == command)
                found.push_back(f);
        return found;
    }

    cmcManualTimers timers; // first: everything below ticks on it
    cmcMemoryLink link;

private:
    RadioSimMemoryPort port_;

public:
    RadioSim sim;
    cmcCloneDrv drv;
    Outcome outcome;
};

// The radio memory area a read fills, 0 to end.
inline AddressRangeList ReadRanges(int end)
{
    return AddressRangeList{{0, end}, AddressRangeList::ListEnd};
}
} // namespace bench
