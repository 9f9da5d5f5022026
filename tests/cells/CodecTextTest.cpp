// Timer, text and digit-code codecs: off texts, units, text escaping and the display-lines
// limit, ASCII forms, DTMF and five-tone codes.
#include "FakeCellHost.h"

#include "base/cmcScriptedResponder.h"
#include "cells/cmcCodecs.h"

#include <gtest/gtest.h>

#include <array>

namespace {

class CodecTextTest : public testing::Test {
protected:
    CellTestBed bed;
    cmcScriptedResponder boxes;
    FakeCell cell{ctCategory::CT_Null, clLogic::CL_Comm_AtResetTimer_A};
};

TEST_F(CodecTextTest, SecondsOffTextsAndUnits)
{
    struct Case {
        const char* typed;
        cmcSecondsForm form;
        int value;
    };
    const cmcSecondsForm plain{};
    const cmcSecondsForm tenths{.unitsPerSecond = 10};
    const cmcSecondsForm slots{.unitsPerSecond = 12.5, .highest = 50};
    const Case cases[] = {
        {"off", plain, 0},    {"OF", plain, 0},       {"30", plain, 30}, {"300", plain, 255},
        {"1.25", tenths, 12}, {"0.9999", tenths, 10}, {"2", slots, 25},  {"4.1", slots, 50},
    };
    for (const Case& c : cases) {
        int value = 7;
        cell.Input(c.typed);
        EXPECT_TRUE(editSeconds(cell.Context(bed.host), value, c.form)) << c.typed;
        EXPECT_EQ(value, c.value) << c.typed;
    }
    int value = 7;
    cell.Input("soon");
    EXPECT_FALSE(editSeconds(cell.Context(bed.host), value, plain));
    EXPECT_EQ(value, 7);

    // Zero shows the off text only with zero-is-off and only while drawing.
    int zero = 0;
    cell.Draw();
    editSeconds(cell.Context(bed.host), zero, {.zeroIsOff = true});
    EXPECT_EQ(cell.capsule.output, "Off");
    cell.Draw();
    editSeconds(cell.Context(bed.host), zero, {.zeroIsOff = false});
    EXPECT_EQ(cell.capsule.output, "  0");
    cell.Key(cmcKey::Enter);
    editSeconds(cell.Context(bed.host), zero, {.zeroIsOff = true});
    EXPECT_EQ(cell.capsule.output, "0");
    EXPECT_EQ(cell.result, cmcRunResult::StartEditor);

    int slot = 3;
    cell.Draw();
    editSeconds(cell.Context(bed.host), slot, slots);
    EXPECT_EQ(cell.capsule.output, "  0.24");
    cell.Draw();
    editSeconds(cell.Context(bed.host), slot, {.unitsPerSecond = 12.5, .highest = 50, .trim = 0});
    EXPECT_EQ(cell.capsule.output, "  0.240");
    cell.Key(cmcKey::Backspace);
    slot = 0;
    editSeconds(cell.Context(bed.host), slot, slots);
    EXPECT_EQ(slot, 50); // wraps below the lowest
}

TEST_F(CodecTextTest, MinutesAndSeconds)
{
    struct Case {
        const char* typed;
        int unit;
        int value; // -1: refused, value stays 9
    };
    const Case cases[] = {
        {"1:15", 30, 3}, // 15 s is half a unit: rounds up
        {"1:14", 30, 2},     {":45", 30, 2}, {"2", 30, 4},     {"120:00", 30, 119}, // clamped to 3570 s
        {"1234:56", 30, -1}, {"", 30, -1},   {"5:07", 1, 307},
    };
    for (const Case& c : cases) {
        int value = 9;
        cell.Input(c.typed);
        const bool accepted = editMinSec(cell.Context(bed.host), value, c.unit, 0, 3570);
        EXPECT_EQ(accepted, c.value >= 0) << c.typed;
        EXPECT_EQ(value, c.value >= 0 ? c.value : 9) << c.typed;
    }
    int value = 3;
    cell.Draw();
    editMinSec(cell.Context(bed.host), value, 30, 0, 3570);
    EXPECT_EQ(cell.capsule.output, " 1:30");
    value = 0;
    cell.Draw();
    editMinSec(cell.Context(bed.host), value, 1, 0, 3600, true);
    EXPECT_EQ(cell.capsule.output, "Off");
    // The off text typed back means 0 where 0 shows it, and is refused elsewhere.
    value = 7;
    cell.Input("off");
    EXPECT_TRUE(editMinSec(cell.Context(bed.host), value, 1, 0, 3600, true));
    EXPECT_EQ(value, 0);
    value = 7;
    cell.Input("Off");
    EXPECT_FALSE(editMinSec(cell.Context(bed.host), value, 1, 0, 3600, false));
    EXPECT_EQ(value, 7);
    value = 0;
    cell.Key(cmcKey::Backspace);
    editMinSec(cell.Context(bed.host), value, 30, 30, 3570);
    EXPECT_EQ(value, 119);
}

TEST_F(CodecTextTest, EscapingAndUnescaping)
{
    EXPECT_EQ(cmcEscapeText("A%B\x80\x1F z\x0F hidden"), "A%%B%80%1F z");
    struct Case {
        const char* escaped;
        std::string bytes;
    };
    const Case cases[] = {
        {"%41BC", "ABC"},
        {"%0A", "%0A"}, // a control code is not stored: the '%' stays literal
        {"50%%", "50%"},
        {"%FF%10", "\xFF\x10"},
        {"tab\there", "tab here"}, // a control character becomes a blank
        {"%4", "%4"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(cmcUnescapeText(c.escaped), c.bytes) << c.escaped;
    // Escaping and unescaping are inverse on every storable byte.
    std::string all;
    for (int b = 16; b < 256; ++b)
        all.push_back(static_cast<char>(b));
    EXPECT_EQ(cmcUnescapeText(cmcEscapeText(all.substr(0, 80))), all.substr(0, 80));
}

TEST_F(CodecTextTest, TextPopupAndTheTwelveCharacterLimit)
{
    cmcEeprom& image = bed.host.Image();
    std::string name(24, ' ');
    const std::uint8_t lines = image.GetByte(0x10B50);

    // Display-lines bit clear: twelve characters shown and accepted, still padded to 24.
    image.SetByte(0x10B50, static_cast<std::uint8_t>(lines & ~0x04));
    cell.Choice(clLogic::Flex0, 0, {}, "%41BCDEFGHIJKLMNOP");
    ASSERT_TRUE(editText(cell.Context(bed.host), name, 24));
    EXPECT_EQ(name, "ABCDEFGHIJKL" + std::string(12, ' '));
    EXPECT_EQ(cell.capsule.output, "ABCDEFGHIJKL");

    cell.Key(cmcKey::Enter);
    EXPECT_FALSE(editText(cell.Context(bed.host), name, 24));
    EXPECT_EQ(cell.result, cmcRunResult::PopupOpened);
    EXPECT_EQ(bed.host.LastPopup().kind, FakePopupRequest::Kind::Text);
    EXPECT_EQ(bed.host.LastPopup().text, "ABCDEFGHIJKL");
    EXPECT_EQ(bed.host.LastPopup().maxLength, 12);

    // A typed character replaces the text in the popup; the blank too.
    cell.Key(' ');
    editText(cell.Context(bed.host), name, 24);
    EXPECT_EQ(bed.host.LastPopup().text, " ");
    cell.Key('%');
    editText(cell.Context(bed.host), name, 24);
    EXPECT_EQ(bed.host.LastPopup().text, "%%");

    // Bit set: the whole field.
    image.SetByte(0x10B50, static_cast<std::uint8_t>(lines | 0x04));
    cell.Input("%41BCDEFGHIJKLMNOP%80");
    ASSERT_TRUE(editText(cell.Context(bed.host), name, 24));
    EXPECT_EQ(name, "ABCDEFGHIJKLMNOP\x80" + std::string(7, ' '));
    EXPECT_EQ(cell.capsule.output, "ABCDEFGHIJKLMNOP%80");
    cell.Key(cmcKey::Backspace);
    editText(cell.Context(bed.host), name, 24);
    EXPECT_EQ(bed.host.LastPopup().maxLength, 24);

    // NUL-terminated fields pad with NUL.
    std::string z(8, '\0');
    cell.Input("AB");
    ASSERT_TRUE(editText(cell.Context(bed.host), z, 8, true));
    EXPECT_EQ(z, std::string("AB\0\0\0\0\0\0", 8));
}

TEST_F(CodecTextTest, AsciiForms)
{
    struct Case {
        cmcAsciiForm form;
        const char* typed;
        std::string stored;
        const char* shown;
    };
    const Case cases[] = {
        {cmcAsciiForm::BlankPadded, "My radio\x01", "My radio  ", "My radio"},
        {cmcAsciiForm::NulPadded, "Pass word", std::string("Pass\0word\0", 10), "Pass"},
        {cmcAsciiForm::NulPaddedLowerCase, "SeCrEt", std::string("secret\0\0\0\0", 10), "secret"},
        {cmcAsciiForm::NulPaddedKeepBlanks, "a b", std::string("a b\0\0\0\0\0\0\0", 10), "a b"},
        {cmcAsciiForm::CallSign, "de k1abc/p!", "DE K1ABC/P", "DE K1ABC/P"},
        {cmcAsciiForm::BlankPadded, "longer than ten", "longer tha", "longer tha"},
    };
    for (const Case& c : cases) {
        std::string bytes(10, ' ');
        cell.Input(c.typed);
        EXPECT_TRUE(editAscii(cell.Context(bed.host), bytes, 10, c.form)) << c.typed;
        EXPECT_EQ(bytes, c.stored) << c.typed;
        EXPECT_EQ(cell.capsule.output, c.shown) << c.typed;
    }
    std::string z = std::string("abc\0def\0\0\0", 10);
    cell.Key(cmcKey::Space);
    EXPECT_FALSE(editAsciiZ(cell.Context(bed.host), z, 10));
    EXPECT_EQ(cell.result, cmcRunResult::StartEditor);
    EXPECT_EQ(cell.capsule.output, "abc");
}

TEST_F(CodecTextTest, DtmfDigits)
{
    std::array<std::uint8_t, 12> packed{};
    packed.fill(0xFF);
    int count = 3;
    cell.Input("12a*#9");
    ASSERT_TRUE(editDtmf(cell.Context(bed.host), packed, count, 24));
    EXPECT_EQ(count, 6);
    EXPECT_EQ(packed[0], 0x12);
    EXPECT_EQ(packed[1], 0xAE);
    EXPECT_EQ(packed[2], 0xF9);
    EXPECT_EQ(packed[3], 0x00); // the rest cleared
    EXPECT_EQ(cell.capsule.output, "12A*#9");
    cell.Input("1-2 3");
    ASSERT_TRUE(editDtmf(cell.Context(bed.host), packed, count, 24));
    EXPECT_EQ(cell.capsule.output, "123");
    cell.Key('#');
    editDtmf(cell.Context(bed.host), packed, count, 24);
    EXPECT_EQ(cell.result, cmcRunResult::StartEditor);
}

TEST_F(CodecTextTest, FiveToneCodes)
{
    std::array<std::uint8_t, 4> packed{};
    std::uint8_t mask = 0;
    const int repeat = 14;
    cell.Input("1+2*3G");
    ASSERT_TRUE(editFiveTone(cell.Context(bed.host), packed, 8, mask, repeat));
    EXPECT_EQ(packed[0], 0x10);
    EXPECT_EQ(packed[1], 0x2E);
    EXPECT_EQ(packed[2], 0x3E);
    EXPECT_EQ(packed[3], 0xFF); // the rest filled with the terminator
    EXPECT_EQ(mask, 0x40);      // '+' at the second digit
    EXPECT_EQ(cell.capsule.output, "1+2*3*");
    cell.Input("12345");
    ASSERT_TRUE(editFiveTone(cell.Context(bed.host), packed, 8, mask, repeat));
    EXPECT_EQ(mask, 0);
    EXPECT_EQ(cell.capsule.output, "12345");
    cell.Key('g');
    editFiveTone(cell.Context(bed.host), packed, 8, mask, repeat);
    EXPECT_EQ(cell.result, cmcRunResult::StartEditor);
}

} // namespace
