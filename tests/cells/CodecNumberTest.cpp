// The number codecs: clamping and padded decimal forms, stepping with wrap, hexadecimal,
// packed digits and fixed point.
#include "FakeCellHost.h"

#include "base/cmcScriptedResponder.h"
#include "cells/cmcCodecs.h"

#include <gtest/gtest.h>

namespace {

class CodecNumberTest : public testing::Test {
protected:
    CellTestBed bed;
    cmcScriptedResponder boxes;
    FakeCell cell{ctCategory::CT_Null, clLogic::CL_Comm_Tot_Timer};
};

TEST_F(CodecNumberTest, ClampingFormStoresTheNearestBoundPaddedFormRefuses)
{
    struct Case {
        const char* typed;
        int clamped; // clamping form 1..8, from 5
        int padded;  // padded form 1..8 width 3, from 5
    };
    const Case cases[] = {
        {"7", 7, 7},   {"12", 8, 5},  {"0", 1, 5}, {"-3", 1, 5},
        {"6.5", 7, 7}, {"6.4", 6, 6}, {"x", 5, 5}, {"  3 ", 3, 3},
    };
    for (const Case& c : cases) {
        int clamped = 5;
        cell.Input(c.typed);
        editNumber(cell.Context(bed.host), clamped, {.lowest = 1, .highest = 8});
        EXPECT_EQ(clamped, c.clamped) << c.typed;
        int padded = 5;
        cell.Input(c.typed);
        editPaddedNumber(cell.Context(bed.host), padded, 3, 1, 8);
        EXPECT_EQ(padded, c.padded) << c.typed;
    }
    // Refusals of the padded form say why; the clamping form only complains about "x".
    ASSERT_FALSE(boxes.Boxes().empty());
    EXPECT_NE(boxes.Boxes()[0].text.find("outside the range 001 to 008"), std::string::npos);
}

TEST_F(CodecNumberTest, DisplayForms)
{
    int value = 7;
    cell.Draw();
    editPaddedNumber(cell.Context(bed.host), value, 4, 0, 4095);
    EXPECT_EQ(cell.capsule.output, "0007");
    cell.Draw();
    editPaddedNumber(cell.Context(bed.host), value, 4, 0, 4095, true);
    EXPECT_EQ(cell.capsule.output, "7");
    cell.Draw();
    editNumber(cell.Context(bed.host), value, {.lowest = 0, .highest = 9, .offset = 1});
    EXPECT_EQ(cell.capsule.output, "8");
    cell.Draw();
    editNumber(cell.Context(bed.host), value, {.lowest = 0, .highest = 9, .fixedText = "Auto"});
    EXPECT_EQ(cell.capsule.output, "Auto");

    // With clamp-before-display a stored value outside the range is brought in, as a change.
    int outside = 40;
    cell.Draw();
    EXPECT_TRUE(editNumber(cell.Context(bed.host), outside,
                           {.lowest = 1, .highest = 15, .clampBeforeDisplay = true}));
    EXPECT_EQ(outside, 15);
    EXPECT_EQ(cell.capsule.output, "15");
}

TEST_F(CodecNumberTest, SteppingWrapsOrSaturates)
{
    struct Case {
        int from;
        int key;
        cmcNumberForm form;
        int to;
    };
    const Case cases[] = {
        {8, cmcKey::Space, {.lowest = 1, .highest = 8}, 1},
        {1, cmcKey::Backspace, {.lowest = 1, .highest = 8}, 8},
        {4, cmcKey::Space, {.lowest = 1, .highest = 8}, 5},
        {8, cmcKey::Space, {.lowest = 1, .highest = 8, .saturate = true}, 8},
        {1, cmcKey::Backspace, {.lowest = 1, .highest = 8, .saturate = true}, 1},
        {10, cmcKey::Space, {.lowest = 0, .highest = 100, .step = 5}, 15},
        {13, cmcKey::Space, {.lowest = 0, .highest = 100, .step = 5}, 15}, // rounded down to the step
        {100, cmcKey::Space, {.lowest = 0, .highest = 100, .step = 5}, 0},
    };
    for (const Case& c : cases) {
        int value = c.from;
        cell.Key(c.key);
        EXPECT_TRUE(editNumber(cell.Context(bed.host), value, c.form));
        EXPECT_EQ(value, c.to) << c.from << " key " << c.key;
    }
    int padded = 4095;
    cell.Key(cmcKey::Space);
    editPaddedNumber(cell.Context(bed.host), padded, 4, 0, 4095);
    EXPECT_EQ(padded, 0);
    cell.Key(cmcKey::Backspace);
    editPaddedNumber(cell.Context(bed.host), padded, 4, 0, 4095);
    EXPECT_EQ(padded, 4095);
}

TEST_F(CodecNumberTest, TypedStepAndOffset)
{
    int value = 0;
    cell.Input("-100");
    ASSERT_TRUE(editNumber(cell.Context(bed.host), value, {.lowest = -128, .highest = 127}));
    EXPECT_EQ(value, -100);
    cell.Input("23");
    ASSERT_TRUE(editNumber(cell.Context(bed.host), value, {.lowest = 0, .highest = 100, .step = 5}));
    EXPECT_EQ(value, 25);
    cell.Input("10");
    ASSERT_TRUE(editNumber(cell.Context(bed.host), value, {.lowest = 0, .highest = 100, .offset = 1}));
    EXPECT_EQ(value, 9);
    // '-' starts the editor only where negative numbers exist.
    cell.Key('-');
    editNumber(cell.Context(bed.host), value, {.lowest = -128, .highest = 127});
    EXPECT_EQ(cell.result, cmcRunResult::StartEditor);
    EXPECT_EQ(cell.capsule.output, "-");
    cell.Key('-');
    editNumber(cell.Context(bed.host), value, {.lowest = 0, .highest = 127});
    EXPECT_EQ(cell.result, cmcRunResult::Done);
}

TEST_F(CodecNumberTest, HexadecimalForms)
{
    int id = 0x1234;
    cell.Draw();
    editHexNumber(cell.Context(bed.host), id, 1, 0xFFFF, 4);
    EXPECT_EQ(cell.capsule.output, "1234");
    cell.Input(" beef ");
    EXPECT_TRUE(editHexNumber(cell.Context(bed.host), id, 1, 0xFFFF, 4));
    EXPECT_EQ(id, 0xBEEF);
    cell.Input("0");
    EXPECT_TRUE(editHexNumber(cell.Context(bed.host), id, 1, 0xFFFF, 4));
    EXPECT_EQ(id, 1); // clamped
    cell.Input("12G4");
    EXPECT_FALSE(editHexNumber(cell.Context(bed.host), id, 1, 0xFFFF, 4));
    EXPECT_EQ(id, 1);
    cell.Key(cmcKey::Space); // acts as Enter
    editHexNumber(cell.Context(bed.host), id, 1, 0xFFFF, 4);
    EXPECT_EQ(cell.result, cmcRunResult::StartEditor);
    EXPECT_EQ(cell.capsule.output, "0001");

    int digit = 3;
    cell.Input("e");
    EXPECT_TRUE(editHexDigit(cell.Context(bed.host), digit, false));
    EXPECT_EQ(digit, 14);
    cell.Input("F");
    EXPECT_FALSE(editHexDigit(cell.Context(bed.host), digit, false));
    cell.Key('F');
    editHexDigit(cell.Context(bed.host), digit, false);
    EXPECT_EQ(cell.result, cmcRunResult::Done);
    cell.Input("F");
    EXPECT_TRUE(editHexDigit(cell.Context(bed.host), digit, true));
    EXPECT_EQ(digit, 15);
    EXPECT_EQ(cell.capsule.output, "F");
}

TEST_F(CodecNumberTest, NibbleCodes)
{
    struct Case {
        const char* typed;
        int digits;
        bool hex;
        std::uint32_t value;
        const char* shown;
    };
    const Case cases[] = {
        {"123456", 6, false, 0x123456, "123456"},  {"42", 6, false, 0x000042, "000042"}, // left-padded
        {"1234567", 6, false, 0x123456, "123456"}, // cut to the digit count
        {"12-34", 4, false, 0x1234, "1234"},       {"a1f", 4, true, 0x0A1F, "0A1F"},
        {"a1f", 4, false, 0x0001, "0001"}, // letters dropped without hexadecimal
    };
    for (const Case& c : cases) {
        std::uint32_t value = 0;
        cell.Input(c.typed);
        EXPECT_TRUE(editNibbleCode(cell.Context(bed.host), value, c.digits, c.hex)) << c.typed;
        EXPECT_EQ(value, c.value) << c.typed;
        EXPECT_EQ(cell.capsule.output, c.shown) << c.typed;
    }
}

TEST_F(CodecNumberTest, FixedPoint)
{
    struct Case {
        int value;
        cmcFixedForm form;
        const char* shown;
    };
    const Case shownCases[] = {
        {255, {.scale = 2, .decimals = 2, .lowest = 0, .highest = 2.55}, "  2.55"},
        {5, {.scale = 2, .decimals = 2, .lowest = 0, .highest = 2.55}, "  0.05"},
        {60, {.scale = 0, .decimals = 3, .lowest = 0, .highest = 60, .trim = 3}, " 60"},
        {500, {.scale = 3, .decimals = 3, .lowest = 0.5, .highest = 10, .trim = 2}, "  0.5"},
        {99'975'000, {.scale = 6, .decimals = 4, .lowest = -99.975, .highest = 99.975}, " 99.9750"},
        {-25'000, {.scale = 6, .decimals = 4, .lowest = -99.975, .highest = 99.975}, " -0.0250"},
    };
    for (const Case& c : shownCases) {
        int value = c.value;
        cell.Draw();
        editFixed(cell.Context(bed.host), value, c.form);
        EXPECT_EQ(cell.capsule.output, c.shown) << c.value;
    }

    const cmcFixedForm tac{.scale = 2, .decimals = 2, .lowest = 0.01, .highest = 2.55};
    const cmcFixedForm ifShift{
        .scale = 6, .decimals = 4, .lowest = -99.975, .highest = 99.975, .step = 25000};
    struct Typed {
        const char* typed;
        const cmcFixedForm* form;
        int value;
    };
    const Typed typedCases[] = {
        {"1.234", &tac, 123},
        {"1.235", &tac, 124},
        {"9", &tac, 255},
        {"0", &tac, 1},
        {"-1.26", &ifShift, -1'275'000}, // rounded down to a multiple of the step
        {"12.3456", &ifShift, 12'325'000},
    };
    for (const Typed& t : typedCases) {
        int value = 0;
        cell.Input(t.typed);
        EXPECT_TRUE(editFixed(cell.Context(bed.host), value, *t.form)) << t.typed;
        EXPECT_EQ(value, t.value) << t.typed;
    }

    // Stepping by the step with wrap; '.' opens the editor after the point.
    int value = 255;
    cell.Key(cmcKey::Space);
    EXPECT_TRUE(editFixed(cell.Context(bed.host), value, tac));
    EXPECT_EQ(value, 1);
    cell.Key('.');
    editFixed(cell.Context(bed.host), value, tac);
    EXPECT_EQ(cell.capsule.output, "0.01");
    EXPECT_EQ(cell.capsule.selStart, 2);
    cmcFixedForm noStep = tac;
    noStep.stepping = false;
    noStep.clearOnEnter = true;
    cell.Key(cmcKey::Space);
    EXPECT_FALSE(editFixed(cell.Context(bed.host), value, noStep));
    EXPECT_EQ(cell.result, cmcRunResult::StartEditor);
    EXPECT_EQ(cell.capsule.output, "");
}

} // namespace
