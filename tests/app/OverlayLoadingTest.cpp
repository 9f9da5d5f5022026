#include "app/indMain.h"
#include "base/cmcGTex.h"
#include "base/cmcHelpGTex.h"
#include "base/cmcMemorySettingsStore.h"
#include "base/cmcScriptedResponder.h"
#include "base/cmcTextTables.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace {
namespace fs = std::filesystem;

class OverlayLoadingTest : public testing::Test {
protected:
    OverlayLoadingTest()
    {
        folder = fs::temp_directory_path() / ("torvane-ovl-" + std::to_string(::getpid()) + "-" +
                                              testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(folder);
        cmcSetTextTables(&mainText, &languages, &help);
        write("HELP.OVL", "#GI_Help_Top\nindex.html\n#End_Of_Ovl\n");
        write("ENG.OVL", "#GI_Sys_AppTitle\nTorvane (NXDN)\n#GI_Sys_MyHelpOvl\nHELP.OVL\n"
                         "#GI_Mess_Maker_Caution\nCareful.\n#GI_Mess_FactADJMode_Caution\nCareful too.\n"
                         "#End_Of_Ovl\n");
        write("DEU.OVL", "#GI_Sys_AppTitle\nTorvane (NXDN) deutsch\n#GI_Sys_MyHelpOvl\nOTHERHELP.OVL\n#End_Of_Ovl\n");
    }
    ~OverlayLoadingTest() override
    {
        cmcSetTextTables(nullptr, nullptr, nullptr);
        fs::remove_all(folder);
    }
    void write(const std::string& name, const std::string& text) { std::ofstream(folder / name) << text; }
    void writeLanguages(const std::string& entries)
    {
        write("RB8826T.OVL", "#GI_Sys_Language\n" + entries + "#End_Of_Ovl\n");
    }
    std::unique_ptr<indMain> start() { return std::make_unique<indMain>(env, folder.string() + "/"); }

    fs::path folder;
    cmcMemorySettingsStore store;
    indEnviron env{"Torvane Overlay Test Mutex", "Software\\Test", store, cmcArea{0, 0, 800, 600}};
    cmcGTex mainText;
    cmcGTex languages;
    cmcHelpGTex help;
};
} // namespace

TEST_F(OverlayLoadingTest, ChosenLanguageAndHelpOverlayAreLoaded)
{
    writeLanguages("English\tENG.OVL\nDeutsch\tDEU.OVL\n");
    env.language = 1;
    auto model = start();
    EXPECT_EQ(model->LanguageCount(), 2);
    EXPECT_EQ(MainText().GetText("GI_Sys_AppTitle"), "Torvane (NXDN) deutsch");
    EXPECT_EQ(help.FileName(), folder.string() + "/OTHERHELP.OVL");

    // A language change reloads the main table; the help table keeps its first file.
    env.language = 0;
    model->ReloadLanguage();
    EXPECT_EQ(MainText().GetText("GI_Sys_AppTitle"), "Torvane (NXDN)");
    EXPECT_EQ(help.FileName(), folder.string() + "/OTHERHELP.OVL");
}

TEST_F(OverlayLoadingTest, LanguageIndexOutsideTheListFallsBackToTheFirst)
{
    std::string many;
    for (int i = 0; i < 300; ++i)
        many += "Language " + std::to_string(i) + "\tENG.OVL\n";
    writeLanguages(many);
    env.language = 256;
    auto model = start();
    EXPECT_EQ(model->LanguageCount(), 256);
    EXPECT_EQ(env.language, 0);
}

TEST_F(OverlayLoadingTest, LanguageEntryWithoutTabStopsAtTheFirstLookup)
{
    writeLanguages("English only\n");
    FatalCatcher catcher;
    try {
        start();
        FAIL() << "the first lookup in the folder itself must stop the program";
    } catch (const FatalStop& stop) {
        EXPECT_EQ(std::string(stop.what()), "GTEX Error !\nThe index 'GI_Sys_MyHelpOvl' was not found.");
    }
}

TEST_F(OverlayLoadingTest, CommandLineWordsSwitchTheModesAfterTheirCautions)
{
    writeLanguages("English\tENG.OVL\n");
    auto model = start();
    cmcScriptedResponder responder;
    model->ApplyCommandLine({"/usr/bin/torvane", "/GLIMMER_KIT", "file.icf", "/Mintaro"});
    EXPECT_TRUE(model->MakerMode());
    EXPECT_TRUE(model->FactoryAdjustMode());
    ASSERT_EQ(responder.Boxes().size(), 2u);
    EXPECT_EQ(responder.Boxes()[0].text, "Careful."); // maker mode first, whatever the order
    EXPECT_EQ(responder.Boxes()[1].text, "Careful too.");
    EXPECT_EQ(responder.Boxes()[0].caption, "Torvane (NXDN)");
    EXPECT_EQ(responder.Boxes()[0].buttons, cmcMbButtons::OkCancel);

    auto other = start();
    responder.Queue(cmcMbResult::Cancel);
    other->ApplyCommandLine({"torvane", "/mintaro-extra", "/mintaro"});
    EXPECT_FALSE(other->MakerMode());
}

TEST_F(OverlayLoadingTest, MakerWordTypedInTheAboutWindow)
{
    writeLanguages("English\tENG.OVL\n");
    auto model = start();
    cmcScriptedResponder responder;
    for (char c : std::string("minmintarX"))
        model->MakerKeyTyped(c);
    EXPECT_EQ(model->MakerCharsTyped(), 0); // "min" restarted by "m", then broken by "X"
    for (char c : std::string("mintamintaro"))
        model->MakerKeyTyped(c); // a wrong letter equal to the first letter counts as the first
    EXPECT_EQ(responder.Boxes().size(), 1u);
    EXPECT_TRUE(model->MakerMode());

    // Cancelling the caution resets the count: the whole word must be typed again.
    auto other = start();
    responder.Queue(cmcMbResult::Cancel);
    for (char c : std::string("MINTARO"))
        other->MakerKeyTyped(c);
    EXPECT_FALSE(other->MakerMode());
    EXPECT_EQ(other->MakerCharsTyped(), 0);
    other->MakerKeyTyped('o');
    EXPECT_EQ(responder.Boxes().size(), 2u);

    // An empty maker word: any key asks at once.
    env.makerWord.clear();
    auto third = start();
    third->MakerKeyTyped('z');
    EXPECT_EQ(responder.Boxes().size(), 3u);
    EXPECT_TRUE(third->MakerMode());
}
