// The settings map walked row by row through the dispatcher: every value of a setting's
// range (every item of its list) is set the way a user sets it - a popup choice or a typed
// text - then the cell is drawn again. The value must read back as the same text, sit in
// exactly the row's bits, and leave every other bit of those bytes and every other byte of
// the image as it was.
#include "FakeCellHost.h"

#include "base/cmcScriptedResponder.h"
#include "cells/clFamilies.h"
#include "cells/cmcCodecs.h"
#include "cells/cmcFCache.h"
#include "cells/datCounts.h"
#include "cells/datSettingsMap.h"
#include "cells/indActiveCell.h"
#include "image/cmcBigEndian.h"
#include "image/cmcEeprom.h"

#include <gtest/gtest.h>

#include <random>
#include <set>
#include <vector>

namespace {
using L = clLogic;

// How one value is set: a popup choice (flex, value, with input for the bit-field popup)
// or a typed text.
struct Trial {
    bool typed = false;
    clLogic flex = L::Flex0;
    int value = 0;     // the value the field must hold afterwards
    std::string input; // typed text, or the popup's input
    std::string shown; // the text the cell must show afterwards ("" : drawn before setting)
    bool dtcs = false; // a typed DTCS code (the tone rows)
};

// The value of a single-part field, read straight from the bytes: the check does not go
// through the map's own reader.
std::int64_t decodeSingle(const cmcEeprom& image, const datSettingDef& row, int n)
{
    const datSetPart& p = row.parts[0];
    std::uint64_t number = 0;
    for (int i = 0; i < p.bytes; ++i)
        number = (number << 8) | image.GetByte(datSettingPlace(row, 0, n) + i);
    std::int64_t bits = static_cast<std::int64_t>((number >> p.lo) & ((std::uint64_t{1} << p.width) - 1));
    if (row.isSigned && (bits >> (p.width - 1)) != 0)
        bits -= std::int64_t{1} << p.width;
    if (bits == 0 && row.zeroReadsAs != 0)
        return row.zeroReadsAs;
    return bits * p.weight / row.divisor;
}

class SettingsMapTest : public ::testing::Test {
protected:
    CellTestBed bed;
    cmcScriptedResponder responder;
    indActiveCell active{bed.host};
    cmcEeprom& image = bed.host.Image();
    std::mt19937 random{20261211};

    std::string draw(FakeCell& cell)
    {
        cell.Draw();
        active.run(cell.capsule);
        return cell.capsule.output;
    }

    void randomise(const std::vector<datSetByte>& bytes)
    {
        for (const datSetByte& b : bytes)
            image.SetByte(b.address, static_cast<std::uint8_t>(random()));
    }

    // Values worth setting for a row: every list item, every value of the range, a sample
    // of the large digit codes.
    std::vector<Trial> trialsOf(const datSettingDef& row, clLogic logic)
    {
        std::vector<Trial> t;
        const auto stepped = [&](int lo, int hi, int step) {
            for (int v = lo; v <= hi; v += step)
                t.push_back({true, L::Flex0, v, {}, {}});
        };
        const datSetRange range = datSettingRange(image, row);
        switch (row.codec) {
        case datSetCodec::Choice:
        case datSetCodec::MarkedChoice:
        case datSetCodec::TypedChoice: {
            const clLogic flex = row.codec == datSetCodec::MarkedChoice ? L::FlexMark : L::Flex0;
            const cmcFCacheRecord& list = SelectionLabels().Build(row.ListOf(logic), clIndex(flex));
            EXPECT_FALSE(list.byValue.empty()) << row.ListOf(logic);
            for (const cmcFCacheItem& item : list.byValue)
                t.push_back({false, flex, item.value, {}, item.label});
            break;
        }
        case datSetCodec::Number:
            stepped(range.lo, range.hi, row.step);
            break;
        case datSetCodec::PaddedNumber:
        case datSetCodec::Seconds:
        case datSetCodec::MinSec:
        case datSetCodec::HexDigit:
            stepped(range.lo, range.hi, 1);
            break;
        case datSetCodec::Fixed:
            stepped(range.lo, range.hi, row.step);
            break;
        case datSetCodec::Digits:
        case datSetCodec::HexDigits: {
            const int base = row.codec == datSetCodec::HexDigits ? 16 : 10;
            const auto code = [&](std::uint32_t r) {
                int v = 0;
                for (int d = 0; d < row.digits; ++d, r /= static_cast<std::uint32_t>(base))
                    v |= static_cast<int>(r % static_cast<std::uint32_t>(base)) << (4 * d);
                return v;
            };
            for (std::uint32_t r : {0u, 1u, 0x7FFFFFFFu, 0xFFFFFFFFu})
                t.push_back({true, L::Flex0, code(r), {}, {}});
            for (int i = 0; i < 300; ++i)
                t.push_back({true, L::Flex0, code(static_cast<std::uint32_t>(random())), {}, {}});
            break;
        }
        case datSetCodec::FlagString:
            for (int v = 0; v < (1 << (row.hi - row.lo + 1)); ++v)
                t.push_back({false, L::Flex0, v, std::to_string(v), {}});
            break;
        case datSetCodec::Tone: {
            // Each CTCSS tone and off from the list, and DTCS codes typed with their polarity.
            for (const cmcFCacheItem& item :
                 SelectionLabels().Build("GI_Sheet_Sel_Mch_CTone", clIndex(L::Flex0)).byValue)
                if (item.value != 53)
                    t.push_back({false, L::Flex0, item.value, {}, item.label});
            for (const char* code : {"023N", "023I", "754N", "411I"})
                t.push_back({true, L::Flex0, 0, code, {}, true});
            break;
        }
        case datSetCodec::IdEntry:
            for (int v = range.lo; v <= range.hi; ++v)
                t.push_back({false, L::Flex_InvIDList_ChNo, v, {}, {}});
            break;
        case datSetCodec::Text:
        case datSetCodec::Ascii:
        case datSetCodec::AsciiLower:
        case datSetCodec::CwText:
            break; // the texts have a test of their own
        }
        return t;
    }

    // The elements a walk visits: the first and the last (and one in the middle of the
    // MDC flag tables).
    static std::vector<int> elementsOf(const datSettingDef& row)
    {
        const int count = datSettingElements(row);
        std::vector<int> e{0};
        if (count > 16)
            e.push_back(17);
        if (count > 1)
            e.push_back(count - 1);
        return e;
    }

    // The other limit of a dependent range, so the walk covers the widest range.
    void widenRange(const datSettingDef& row)
    {
        if (row.loAbovePlace != 0)
            SetBE16(image.Bytes() + row.loAbovePlace, 1);
        if (row.hiBelowPlace != 0)
            SetBE16(image.Bytes() + row.hiBelowPlace, 65520);
        if (row.codec == datSetCodec::IdEntry) {
            datSetIndividualIdCount(image, 3);
            for (int i = 0; i < 3; ++i)
                SetBE32(image.Bytes() + 0x121C7 + 16 * i, static_cast<std::uint32_t>(1000 + i));
        }
    }

    void walk(const datSettingDef& row, clLogic logic);
};

void SettingsMapTest::walk(const datSettingDef& row, clLogic logic)
{
    const std::string name(clLogicName(clIndex(logic)));
    cmcEeprom snapshot;
    snapshot.CopyFrom(image);
    widenRange(row);
    cmcEeprom start;
    start.CopyFrom(image);
    std::set<int> rowBytes;

    for (const int n : elementsOf(row)) {
        FakeCell cell(ctCategory::CT_Null, logic, n);
        const std::vector<datSetByte> bytes = datSettingBytes(row, n);
        for (const datSetByte& b : bytes)
            rowBytes.insert(b.address);
        int failures = 0;
        for (Trial trial : trialsOf(row, logic)) {
            if (failures > 3)
                break;
            // The text of the value as the cell draws it, to be typed back.
            if (trial.shown.empty() && !trial.dtcs) {
                datWriteSetting(image, row, n, trial.value);
                trial.shown = draw(cell);
                // A min:sec cell shows a stored 0 as off but takes only digits and ':'.
                if (trial.typed)
                    trial.input = row.codec == datSetCodec::MinSec && trial.value == 0 ? "0:00" : trial.shown;
            }
            randomise(bytes);
            std::vector<std::uint8_t> before;
            for (const datSetByte& b : bytes)
                before.push_back(image.GetByte(b.address));

            if (trial.typed)
                cell.Input(trial.input);
            else
                cell.Choice(trial.flex, trial.value, {}, trial.input);
            active.run(cell.capsule);

            bool ok = true;
            for (std::size_t i = 0; i < bytes.size(); ++i) {
                const std::uint8_t after = image.GetByte(bytes[i].address);
                if (((after ^ before[i]) & ~bytes[i].mask) != 0) {
                    ADD_FAILURE() << name << "[" << n << "] = " << trial.value
                                  << ": bits outside the field changed at " << std::hex << bytes[i].address;
                    ok = false;
                }
            }
            if (trial.dtcs) {
                const datTone tone = datDecodeTone(static_cast<std::uint16_t>(datReadSetting(image, row, n)));
                const std::string typed = trial.input;
                EXPECT_TRUE(tone.on && tone.dtcs) << name << " " << typed;
                EXPECT_EQ(tone.inverted, typed.back() == 'I') << name << " " << typed;
                EXPECT_EQ(draw(cell), typed.substr(0, 3) + (typed.back() == 'I' ? "i" : "N")) << name;
                continue;
            }
            const std::int64_t stored = row.codec == datSetCodec::Tone
                                            ? cmcToneListValue(datDecodeTone(
                                                  static_cast<std::uint16_t>(datReadSetting(image, row, n))))
                                        : row.nParts == 1 ? decodeSingle(image, row, n)
                                                          : datReadSetting(image, row, n);
            if (stored != trial.value) {
                ADD_FAILURE() << name << "[" << n << "]: set " << trial.value << " (" << trial.input
                              << "), holds " << stored;
                ok = false;
            }
            const std::string shown = draw(cell);
            if (shown != trial.shown) {
                ADD_FAILURE() << name << "[" << n << "] = " << trial.value << ": shows '" << shown
                              << "', expected '" << trial.shown << "'";
                ok = false;
            }
            if (!ok)
                ++failures;
        }
    }
    // Nothing but the row's own bytes changed anywhere in the image.
    for (int a = 0; a < image.GetSize(); ++a)
        if (rowBytes.count(a) == 0 && image.GetByte(a) != start.GetByte(a)) {
            ADD_FAILURE() << name << " changed the byte at " << std::hex << a;
            break;
        }
    image.CopyFrom(snapshot);
}

TEST_F(SettingsMapTest, EveryValueOfEveryRowRoundTripsThroughItsOwnBits)
{
    for (const datSettingDef& row : datSettingsMap()) {
        walk(row, row.logic);
        if (row.logic2 != clLogic::Count_)
            walk(row, row.logic2);
    }
    EXPECT_TRUE(responder.Boxes().empty()) << responder.Boxes().front().text;
}

} // namespace

namespace {

// Every kind-0 setting of a new document shows a value: no "error", no "*Yet*", no error
// or warning mark (the cells drawn from other settings included).
TEST_F(SettingsMapTest, TheDefaultImageShowsAValueInEverySetting)
{
    for (const clBinding& binding : clSettingsLogics()) {
        const datSettingDef* row = datFindSetting(clIndex(binding.logic));
        const int elements = row != nullptr ? datSettingElements(*row) : 1;
        const std::string name(clLogicName(clIndex(binding.logic)));
        for (int n = 0; n < elements; ++n) {
            FakeCell cell(ctCategory::CT_Null, binding.logic, n);
            const std::string shown = draw(cell);
            EXPECT_EQ(shown.find("error"), std::string::npos) << name << "[" << n << "]";
            EXPECT_EQ(shown.find("*Yet*"), std::string::npos) << name << "[" << n << "]";
            EXPECT_FALSE(cell.capsule.IsError()) << name << "[" << n << "]";
            // A new document holds no MDC tables: their numbers are 0, below some ranges.
            if (!name.starts_with("CL_Mdc_")) {
                EXPECT_FALSE(cell.capsule.IsWarning()) << name << "[" << n << "]";
            }
        }
    }
}

} // namespace
