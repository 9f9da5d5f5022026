// Every result code that has a message finds its head line, and the check lines exist,
// in the shipped overlay.
#include "support/ShippedTexts.h"

#include "link/dst_CDrv_Result.h"

#include <gtest/gtest.h>

TEST(CloneMessagesTest, EveryCodeHasItsHeadLineAndTheCheckLinesExist)
{
    ShippedTexts texts;
    cmcGTex& main = texts.Main();
    for (int code = 0; code <= 18; ++code) {
        const std::string head = main.GetEntry(cmcCloneMessageHeadKey, code);
        EXPECT_FALSE(head.empty()) << code;
        EXPECT_NE(head.front(), '#') << code; // the list runs into the next key otherwise
    }
    EXPECT_NE(main.GetEntry(cmcCloneMessageHeadKey, 2).find("%d"), std::string::npos); // the port number
    EXPECT_EQ(main.GetEntry(cmcCloneMessageHeadKey, 19).front(), '#');
    for (int item = 0; item <= 9; ++item) {
        const std::string check = main.GetEntry(cmcCloneMessageCheckKey, item);
        EXPECT_FALSE(check.empty()) << item;
        EXPECT_NE(check.front(), '#') << item;
    }
}
