#include "base/cmcFatal.h"
#include "base/cmcScriptedResponder.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>

TEST(MessageBoxTest, ScriptedResponderRecordsBoxesAndAnswersInOrder)
{
    cmcScriptedResponder responder;
    responder.Queue(cmcMbResult::No);
    EXPECT_EQ(cmcMessageBox("Save?", "Torvane", cmcMbButtons::YesNoCancel, cmcMbIcon::Exclamation),
              cmcMbResult::No);
    // With nothing queued the first button answers.
    EXPECT_EQ(cmcMessageBox("Go on?", "Torvane", cmcMbButtons::OkCancel, cmcMbIcon::Exclamation),
              cmcMbResult::Ok);
    ASSERT_EQ(responder.Boxes().size(), 2u);
    EXPECT_EQ(responder.Boxes()[0].text, "Save?");
    EXPECT_EQ(responder.Boxes()[0].buttons, cmcMbButtons::YesNoCancel);
    EXPECT_EQ(responder.Boxes()[1].icon, cmcMbIcon::Exclamation);
}

TEST(FatalTest, StopReportsTheTextAndEndsTheProcess)
{
    EXPECT_EXIT(cmcFatalStop("Out of cmcBuff element !"), testing::ExitedWithCode(cmcFatalExitCode),
                "Out of cmcBuff element !");
    FatalCatcher catcher;
    EXPECT_THROW(cmcFatalStop("x"), FatalStop);
}
