// The frequency and tone codecs: raster snapping, coverage, the receive/transmit coupling,
// tone texts and DTCS codes.
#include "FakeCellHost.h"

#include "base/cmcScriptedResponder.h"
#include "cells/cmcCodecs.h"

#include <gtest/gtest.h>

namespace {

class CodecFrequencyTest : public testing::Test {
protected:
    // Types text into one side of f; returns whether the codec accepted it.
    bool type(cmcFrequencyPair& f, const std::string& text, cmcSide side = cmcSide::Receive,
              std::uint32_t offset = 0)
    {
        FakeCell cell(ctCategory::CT_Mch,
                      side == cmcSide::Receive ? clLogic::CL_Mch_FreqR : clLogic::CL_Mch_FreqT);
        cell.Input(text);
        return editFrequency(cell.Context(bed.host), f, side, offset);
    }

    CellTestBed bed;
    cmcScriptedResponder boxes;
};

TEST_F(CodecFrequencyTest, RasterSnapsWithinTheTypedPrecision)
{
    struct Case {
        std::uint32_t typed;
        std::optional<std::uint32_t> snapped;
    };
    const Case cases[] = {
        {146'518'700, 146'518'750}, // precision 100 Hz: the next 3125 Hz step
        {146'006'200, 146'006'250},
        {146'515'600, 146'515'625},
        {146'520'000, 146'520'000},  // on the raster already
        {146'523'100, std::nullopt}, // no raster frequency within 100 Hz
        {146'520'100, std::nullopt},
        {799'999'999, std::nullopt}, // 800 MHz clamped: precision 1 Hz, never on the raster
        {0, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(cmcSnapToRaster(c.typed), c.snapped) << c.typed;
}

TEST_F(CodecFrequencyTest, TypedMegahertzAreReadExactlyAndRefusalsChangeNothing)
{
    struct Case {
        const char* typed;
        bool accepted;
        std::uint32_t rx; // afterwards
    };
    const Case cases[] = {
        {"146.5187", true, 146'518'750},  {"146.0062", true, 146'006'250},
        {"146.5156", true, 146'515'625},  {" 146.52 MHz", true, 146'520'000}, // only digits and '.' count
        {"146.5201", false, 150'000'000}, {"146.5231", false, 150'000'000},
        {"800", false, 150'000'000},      {"100", false, 150'000'000}, // below the VHF band
        {"300", false, 150'000'000},                                   // between the bands
        {"470.0025", false, 150'000'000},                              // on the raster, above the UHF band
        {"500", false, 150'000'000},                                   // above the UHF band
        {"450.00625", true, 450'006'250}, {"", false, 150'000'000}, // an empty text changes nothing, silently
    };
    for (const Case& c : cases) {
        cmcFrequencyPair f{150'000'000, 155'000'000, false, true};
        boxes.ClearBoxes();
        EXPECT_EQ(type(f, c.typed), c.accepted) << c.typed;
        EXPECT_EQ(f.rx, c.rx) << c.typed;
        EXPECT_EQ(boxes.Boxes().size(), c.accepted || *c.typed == '\0' ? 0u : 1u) << c.typed;
    }
}

TEST_F(CodecFrequencyTest, RefusalMessagesNameTheReason)
{
    cmcFrequencyPair f{150'000'000, 150'000'000, false, true};
    EXPECT_FALSE(type(f, "146.5201"));
    EXPECT_FALSE(type(f, "300"));
    ASSERT_EQ(boxes.Boxes().size(), 2u);
    EXPECT_NE(boxes.Boxes()[0].text.find("146.5201 MHz is not on the channel raster"), std::string::npos);
    EXPECT_NE(boxes.Boxes()[1].text.find("300.000000 MHz lies outside"), std::string::npos);
    EXPECT_EQ(boxes.Boxes()[1].icon, cmcMbIcon::Error);
}

TEST_F(CodecFrequencyTest, ReceiveEditTakesAnEqualTransmitFrequencyAlong)
{
    cmcFrequencyPair same{146'000'000, 146'000'000, false, true};
    ASSERT_TRUE(type(same, "146.52"));
    EXPECT_EQ(same.rx, 146'520'000u);
    EXPECT_EQ(same.tx, 146'520'000u);

    cmcFrequencyPair split{146'000'000, 146'600'000, false, true};
    ASSERT_TRUE(type(split, "146.52"));
    EXPECT_EQ(split.tx, 146'600'000u);

    // The transmit side alone moves only the transmit frequency.
    ASSERT_TRUE(type(split, "147.1", cmcSide::Transmit));
    EXPECT_EQ(split.rx, 146'520'000u);
    EXPECT_EQ(split.tx, 147'100'000u);
}

TEST_F(CodecFrequencyTest, FirstReceiveFrequencySetsTheTransmitFrequencyWithTheDuplexOffset)
{
    struct Case {
        const char* typed;
        std::uint32_t offset;
        std::uint32_t tx;
    };
    const Case cases[] = {
        {"146.52", 0, 146'520'000},
        {"451.0", 5'000'000, 456'000'000}, // below 470 MHz: plus the offset
        {"146.0", 5'000'000, 151'000'000},
        {"470", 5'000'000, 473'000'000}, // at or above 470 MHz: 2 MHz less
    };
    for (const Case& c : cases) {
        cmcFrequencyPair f{}; // unused record
        ASSERT_TRUE(type(f, c.typed, cmcSide::Receive, c.offset)) << c.typed;
        EXPECT_TRUE(f.inUse);
        EXPECT_EQ(f.tx, c.tx) << c.typed;
    }
    // A typed 0 marks the record unused.
    cmcFrequencyPair zero{146'000'000, 146'000'000, false, true};
    ASSERT_TRUE(type(zero, "0"));
    EXPECT_FALSE(zero.inUse);
}

TEST_F(CodecFrequencyTest, DisplayAlignmentColoursAndMarks)
{
    FakeCell rxCell(ctCategory::CT_Mch, clLogic::CL_Mch_FreqR);
    FakeCell txCell(ctCategory::CT_Mch, clLogic::CL_Mch_FreqT);
    cmcFrequencyPair f{146'520'000, 146'520'000, false, true};

    rxCell.Draw();
    EXPECT_FALSE(editFrequency(rxCell.Context(bed.host), f, cmcSide::Receive));
    EXPECT_EQ(rxCell.capsule.output, "146.520000");
    EXPECT_EQ(rxCell.cell.HorizontalAlignment(), 2);
    EXPECT_EQ(rxCell.capsule.selLength, 10);
    EXPECT_FALSE(rxCell.capsule.fontColour.has_value());

    txCell.Draw();
    editFrequency(txCell.Context(bed.host), f, cmcSide::Transmit);
    EXPECT_EQ(txCell.capsule.output, "<-");
    EXPECT_EQ(txCell.cell.HorizontalAlignment(), 1);

    f.tx = 146'600'000;
    txCell.Draw();
    editFrequency(txCell.Context(bed.host), f, cmcSide::Transmit);
    EXPECT_EQ(txCell.capsule.output, "146.600000");

    f.txOff = true; // a blank value is drawn in olive
    txCell.Draw();
    editFrequency(txCell.Context(bed.host), f, cmcSide::Transmit);
    EXPECT_EQ(txCell.capsule.fontColour, clOliveColour);

    cmcFrequencyPair empty{};
    rxCell.Draw();
    editFrequency(rxCell.Context(bed.host), empty, cmcSide::Receive);
    EXPECT_EQ(rxCell.capsule.output, "");

    // A stored receive frequency in a refused range carries the error mark.
    cmcFrequencyPair refused{300'000'000, 300'000'000, false, true};
    rxCell.Draw();
    editFrequency(rxCell.Context(bed.host), refused, cmcSide::Receive);
    EXPECT_TRUE(rxCell.capsule.IsError());
    rxCell.Draw();
    editFrequency(rxCell.Context(bed.host), f, cmcSide::Receive);
    EXPECT_FALSE(rxCell.capsule.IsError());
}

TEST_F(CodecFrequencyTest, KeysOpenTheEditor)
{
    FakeCell rx(ctCategory::CT_Mch, clLogic::CL_Mch_FreqR);
    FakeCell tx(ctCategory::CT_Mch, clLogic::CL_Mch_FreqT);
    cmcFrequencyPair f{146'520'000, 147'000'000, false, true};
    struct Case {
        FakeCell* cell;
        cmcSide side;
        int key;
        const char* text;
        int selStart;
        int selLength;
    };
    const Case cases[] = {
        {&rx, cmcSide::Receive, cmcKey::Enter, "146.520000", 0, 10},
        {&rx, cmcSide::Receive, cmcKey::Space, "146.520000", 0, 10},
        {&rx, cmcSide::Receive, cmcKey::Backspace, "146.520000", 0, 10},
        {&rx, cmcSide::Receive, '.', "146.520000", 4, 0},
        {&rx, cmcSide::Receive, '4', "4", 1, 0},
        {&tx, cmcSide::Transmit, '=', "146.520000", 0, 10},
        {&tx, cmcSide::Transmit, cmcKey::Enter, "147.000000", 0, 10},
    };
    for (const Case& c : cases) {
        c.cell->Key(c.key);
        EXPECT_FALSE(editFrequency(c.cell->Context(bed.host), f, c.side));
        EXPECT_EQ(c.cell->result, cmcRunResult::StartEditor) << c.key;
        EXPECT_EQ(c.cell->capsule.output, c.text) << c.key;
        EXPECT_EQ(c.cell->capsule.selStart, c.selStart) << c.key;
        EXPECT_EQ(c.cell->capsule.selLength, c.selLength) << c.key;
    }
    // Enter on a channel without a receive frequency opens an empty editor; a letter is ignored.
    cmcFrequencyPair none{};
    rx.Key(cmcKey::Enter);
    editFrequency(rx.Context(bed.host), none, cmcSide::Receive);
    EXPECT_EQ(rx.capsule.output, "");
    EXPECT_EQ(rx.result, cmcRunResult::StartEditor);
    rx.Key('x');
    editFrequency(rx.Context(bed.host), none, cmcSide::Receive);
    EXPECT_EQ(rx.result, cmcRunResult::Done);
}

class CodecToneTest : public CodecFrequencyTest {
protected:
    static datTone ctcss(int index) { return {true, false, false, index, 0}; }
    static datTone dtcs(int code, bool inverted) { return {true, true, inverted, 0, code}; }
};

TEST_F(CodecToneTest, TypedTonesAndCodes)
{
    struct Case {
        const char* typed;
        bool accepted;
        datTone tone; // afterwards, from an off tone
    };
    const datTone off{};
    const Case cases[] = {
        {"023i", true, dtcs(023, true)},
        {"023", true, dtcs(023, false)},
        {" 754n ", true, dtcs(0754, false)},
        {"67", true, ctcss(0)},     // the first tone whose name starts with 67
        {"100.0", true, ctcss(12)}, // three octal digits would be a code; with a point it is a tone
        {"25", true, ctcss(48)},    // several names: the first wins for longer texts
        {"1", false, off},          // one character matching several names
        {"2", false, off},
        {"080", false, off}, // 8 is no octal digit, and no tone is called 080
        {"023X", false, off},
        {"", false, off},
    };
    for (const Case& c : cases) {
        FakeCell cell(ctCategory::CT_Mch, clLogic::CL_Mch_CTone_R);
        datTone tone = off;
        cell.Input(c.typed);
        EXPECT_EQ(editTone(cell.Context(bed.host), tone), c.accepted) << c.typed;
        if (c.accepted)
            EXPECT_TRUE(cmcSameTone(tone, c.tone)) << c.typed << " -> " << cmcToneListValue(tone);
        else
            EXPECT_FALSE(tone.on) << c.typed;
    }
}

TEST_F(CodecToneTest, DisplayAndDtcsInversionByStepping)
{
    FakeCell cell(ctCategory::CT_Mch, clLogic::CL_Mch_CTone_R);
    datTone tone = dtcs(023, false);
    cell.Draw();
    editTone(cell.Context(bed.host), tone);
    EXPECT_EQ(cell.capsule.output, "023N");
    EXPECT_EQ(cell.cell.HorizontalAlignment(), 2);

    cell.Key(cmcKey::Space);
    EXPECT_TRUE(editTone(cell.Context(bed.host), tone));
    EXPECT_TRUE(tone.inverted);
    EXPECT_EQ(cell.capsule.output, "023i");

    datTone plain = ctcss(49);
    cell.Draw();
    editTone(cell.Context(bed.host), plain);
    EXPECT_EQ(cell.capsule.output, "254.1");
    // Stepping past the last tone passes over the DTCS item and wraps to Off.
    cell.Key(cmcKey::Space);
    EXPECT_TRUE(editTone(cell.Context(bed.host), plain));
    EXPECT_FALSE(plain.on);
    EXPECT_EQ(plain.toneIndex, 0);
    EXPECT_EQ(cell.capsule.output, "Off");
    cell.Key(cmcKey::Space);
    editTone(cell.Context(bed.host), plain);
    EXPECT_TRUE(cmcSameTone(plain, ctcss(0)));
}

TEST_F(CodecToneTest, ChoicesFromTheToneList)
{
    FakeCell cell(ctCategory::CT_Mch, clLogic::CL_Mch_CTone_R);
    datTone tone = dtcs(0754, true);
    cell.Key(cmcKey::Enter);
    editTone(cell.Context(bed.host), tone);
    EXPECT_EQ(cell.result, cmcRunResult::PopupOpened);
    EXPECT_EQ(bed.host.LastPopup().list, "GI_Sheet_Sel_Mch_CTone");
    EXPECT_EQ(bed.host.LastPopup().current, cmcToneDtcsValue);

    cell.Choice(clLogic::Flex0, 5);
    EXPECT_TRUE(editTone(cell.Context(bed.host), tone));
    EXPECT_TRUE(cmcSameTone(tone, ctcss(5)));
    EXPECT_FALSE(tone.dtcs);

    cell.Choice(clLogic::Flex0, cmcToneOffValue);
    EXPECT_TRUE(editTone(cell.Context(bed.host), tone));
    EXPECT_FALSE(tone.on);
    EXPECT_EQ(tone.toneIndex, 0);

    // Choosing DTCS turns the code on and asks the sheet to reopen the editor on it.
    int reopened = 0;
    cell.Choice(clLogic::Flex0, cmcToneDtcsValue);
    cell.capsule.notifyAux = [&](cmcCellCapsule& capsule, int) {
        ++reopened;
        EXPECT_EQ(capsule.output, "023N");
    };
    EXPECT_TRUE(editTone(cell.Context(bed.host), tone));
    EXPECT_TRUE(cmcSameTone(tone, dtcs(023, false)));
    EXPECT_EQ(reopened, 1);
    cell.capsule.notifyAux = nullptr;
}

TEST_F(CodecToneTest, ReceiveChangeCarriesAnEqualTransmitTone)
{
    cmcTonePair same{ctcss(3), ctcss(3)};
    FakeCell rx(ctCategory::CT_Mch, clLogic::CL_Mch_CTone_R);
    FakeCell tx(ctCategory::CT_Mch, clLogic::CL_Mch_CTone_T);
    tx.Draw();
    editTone(tx.Context(bed.host), same, cmcSide::Transmit);
    EXPECT_EQ(tx.capsule.output, "<-");
    EXPECT_EQ(tx.cell.HorizontalAlignment(), 1);

    rx.Input("023");
    ASSERT_TRUE(editTone(rx.Context(bed.host), same, cmcSide::Receive));
    EXPECT_TRUE(cmcSameTone(same.tx, dtcs(023, false)));

    cmcTonePair split{ctcss(3), ctcss(7)};
    rx.Input("023");
    ASSERT_TRUE(editTone(rx.Context(bed.host), split, cmcSide::Receive));
    EXPECT_TRUE(cmcSameTone(split.tx, ctcss(7)));
    tx.Draw();
    editTone(tx.Context(bed.host), split, cmcSide::Transmit);
    EXPECT_EQ(tx.capsule.output, "85.4");

    // Both off: nothing to point at, the transmit cell shows its own "Off".
    cmcTonePair off{};
    tx.Draw();
    editTone(tx.Context(bed.host), off, cmcSide::Transmit);
    EXPECT_EQ(tx.capsule.output, "Off");
}

} // namespace
