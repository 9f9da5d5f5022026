#include "app/indEnviron.h"
#include "base/cmcMemorySettingsStore.h"

#include <gtest/gtest.h>

namespace {
const std::string kRoot = "Software\\Zelk\\Torvane (NXDN)";
const std::string kMutex = "Torvane Environ Test Mutex";
const cmcArea kWork{0, 0, 1920, 1040};

std::string key(const std::string& subkey) { return kRoot + "\\" + subkey; }

class EnvironTest : public testing::Test {
protected:
    std::unique_ptr<indEnviron> start() { return std::make_unique<indEnviron>(kMutex, kRoot, store, kWork); }
    void writeValidGlobals()
    {
        store.WriteInteger(cmcSettingsRoot::CurrentUser, key("Global"), "BBT", indEnviron::ValidMarker);
        store.WriteInteger(cmcSettingsRoot::CurrentUser, key("Global"), "ComPort", 4);
        store.WriteInteger(cmcSettingsRoot::CurrentUser, key("Global"), "ComSpeedHigh", 0);
        store.WriteInteger(cmcSettingsRoot::CurrentUser, key("Global"), "TcpipPort", 50000);
        store.WriteInteger(cmcSettingsRoot::CurrentUser, key("Global"), "PortSelect", 1);
        for (const char* name : {"FontSize Percentage", "Toolbar Visible", "FontSize Printer"})
            store.WriteInteger(cmcSettingsRoot::CurrentUser, key("View Option"), name, 0);
        for (const char* name : {"Left", "Top", "Width", "Height", "SplitterV"})
            store.WriteInteger(cmcSettingsRoot::CurrentUser, key("Window Position"), name, 300);
        store.WriteInteger(cmcSettingsRoot::CurrentUser, key("Setup"), "ModelType", 0);
        store.WriteInteger(cmcSettingsRoot::CurrentUser, key("Setup"), "Language", 2);
    }
    void setInteger(const std::string& subkey, const std::string& name, int value)
    {
        store.WriteInteger(cmcSettingsRoot::CurrentUser, key(subkey), name, value);
    }
    cmcMemorySettingsStore store;
};
} // namespace

TEST(WindowPlacementTest, NinetyPercentCappedAndPlaced)
{
    EXPECT_EQ(DefaultWindowPlacement({0, 0, 1920, 1040}), (cmcArea{448, 81, 1024, 768}));
    // 90 % of 1000 x 700 is 900 x 630; left 0 + 100/2, top trunc(0.3 * 70 + 20) = 41.
    EXPECT_EQ(DefaultWindowPlacement({0, 20, 1000, 700}), (cmcArea{50, 41, 900, 630}));
    EXPECT_EQ(DefaultWindowPlacement({-1280, 0, 1280, 1024}), (cmcArea{-1152, 76, 1024, 768}));
}

TEST_F(EnvironTest, FirstStartTakesDefaults)
{
    auto env = start();
    ASSERT_TRUE(env->IsFirstInstance());
    EXPECT_EQ(env->comPort, 1);
    EXPECT_EQ(env->highSpeed, 1);
    EXPECT_EQ(env->ipAddress, "192.168.0.11");
    EXPECT_EQ(env->tcpPort, 41000);
    EXPECT_EQ(env->fontSizePercentage, 80);
    EXPECT_EQ(env->printerFontSize, 10);
    EXPECT_EQ(env->splitter, 200);
    EXPECT_EQ(env->makerWord, "mintaro");
    EXPECT_EQ(env->adjustReadPassword, "");
    EXPECT_EQ(env->windowWidth, 1024);
    EXPECT_EQ(env->windowLeft, 448);
    EXPECT_EQ(env->windowTop, 81);
    EXPECT_EQ(env->recent.Count(), 0);
}

TEST_F(EnvironTest, StoredValuesAreClampedOnLoad)
{
    struct Case {
        const char* subkey;
        const char* name;
        int stored;
        std::int32_t indEnviron::*field;
        int loaded;
    };
    const Case cases[] = {
        {"Global", "ComPort", 0, &indEnviron::comPort, 1},
        {"Global", "ComPort", 300, &indEnviron::comPort, 256},
        {"Global", "ComSpeedHigh", 7, &indEnviron::highSpeed, 1},
        {"Global", "ComSpeedHigh", -2, &indEnviron::highSpeed, 0},
        {"View Option", "FontSize Percentage", 10, &indEnviron::fontSizePercentage, 25},
        {"View Option", "FontSize Percentage", 5000, &indEnviron::fontSizePercentage, 1000},
        {"View Option", "FontSize Printer", 20, &indEnviron::printerFontSize, 12},
        {"View Option", "FontSize Printer", 3, &indEnviron::printerFontSize, 8},
        {"View Option", "Toolbar Visible", -5, &indEnviron::toolBarVisible, 1},
        {"Global", "TcpipPort", 99999, &indEnviron::tcpPort, 99999},
    };
    for (const Case& c : cases) {
        writeValidGlobals();
        setInteger(c.subkey, c.name, c.stored);
        auto env = start();
        EXPECT_EQ((*env).*c.field, c.loaded) << c.name << " stored as " << c.stored;
        env->marker = 0; // keep the store as the case wrote it
    }
}

TEST_F(EnvironTest, InvalidMarkerOrMissingIntegerDiscardsEverything)
{
    writeValidGlobals();
    setInteger("Global", "BBT", 12345);
    auto env = start();
    EXPECT_EQ(env->comPort, 1);
    EXPECT_EQ(env->language, 0);
    EXPECT_EQ(env->splitter, 200);
    env.reset();

    // An integer stored as a text is a failure like a missing one.
    writeValidGlobals();
    store.WriteText(cmcSettingsRoot::CurrentUser, key("Setup"), "Language", "2");
    env = start();
    EXPECT_EQ(env->comPort, 1);
    EXPECT_EQ(env->portSelect, 0);
}

TEST_F(EnvironTest, SettingsSurviveASaveAndLoad)
{
    {
        auto env = start();
        env->fontSizePercentage = 150;
        env->ipAddress = "10.0.0.7";
        env->currentDirectory = "/home/shop/clones";
        env->adjustReadPassword = "";
        env->makerWord = "";
        env->recent.AddFirst("/home/shop/a.icf");
        env->recent.AddFirst("/home/shop/b.icf");
    }
    auto text = [&](const char* subkey, const char* name) {
        return store.ReadText(cmcSettingsRoot::CurrentUser, key(subkey), name).value_or("<none>");
    };
    EXPECT_EQ(text("Password", "AdjustMode"), "00");
    EXPECT_EQ(text("Password", "MakerReserveMode"), "00");
    EXPECT_EQ(text("Recent File List", "Recent0"), "/home/shop/b.icf");
    EXPECT_EQ(text("Recent File List", "Recent9"), "");

    auto env = start();
    EXPECT_EQ(env->fontSizePercentage, 150);
    EXPECT_EQ(env->ipAddress, "10.0.0.7");
    EXPECT_EQ(env->currentDirectory, "/home/shop/clones");
    EXPECT_EQ(env->makerWord, "");
    EXPECT_EQ(env->recent.Entry(0), "/home/shop/b.icf");
    EXPECT_EQ(env->recent.Entry(1), "/home/shop/a.icf");
}

TEST_F(EnvironTest, PasswordsAreHexCoded)
{
    writeValidGlobals();
    store.WriteText(cmcSettingsRoot::CurrentUser, key("Password"), "AdjustMode", "41424344");
    auto env = start();
    EXPECT_EQ(env->makerWord, "mintaro"); // absent gives the default word
    EXPECT_EQ(env->adjustReadPassword, "ABCD");
    env->makerWord = "secret";
    env.reset();
    EXPECT_EQ(store.ReadText(cmcSettingsRoot::CurrentUser, key("Password"), "MakerReserveMode"), "736563726574");
}

TEST_F(EnvironTest, SecondInstanceNeitherLoadsNorSaves)
{
    writeValidGlobals();
    auto first = start();
    auto second = start();
    EXPECT_TRUE(first->IsFirstInstance());
    EXPECT_FALSE(second->IsFirstInstance());
    EXPECT_EQ(second->comPort, 1); // defaults, nothing loaded
    second->comPort = 99;
    second.reset();
    EXPECT_EQ(store.ReadInteger(cmcSettingsRoot::CurrentUser, key("Global"), "ComPort"), 4);
}

TEST_F(EnvironTest, FormPositionsAreFoundStoredAndReadLazily)
{
    auto env = start();
    EXPECT_EQ(env->FindFormPosition("GI_Sheet_Win_AD"), nullptr);
    env->StoreFormPosition("GI_Sheet_Win_AD", 10, 20, 300, 200, 0, 0, 1, 1, 1, 1);
    env->StoreFormPosition("Repeater", 1, 2, 3, 4, 0, 0, 0, 0, 2, 0);
    ASSERT_NE(env->FindFormPosition("GI_Sheet_Win_AD"), nullptr);
    EXPECT_EQ(env->FindFormPosition("GI_Sheet_Win_AD")->windowState, 1);
    EXPECT_EQ(env->FindFormPosition("gi_sheet_win_ad"), nullptr); // exact names only
    env.reset();

    env = start();
    const cmcFormPosition* p = env->FindFormPosition("GI_Sheet_Win_AD");
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p->left, 10);
    EXPECT_EQ(p->height, 200);
    EXPECT_EQ(p->windowState, 1);
    EXPECT_EQ(p->topRow, -1);
    EXPECT_EQ(p->open, 0);

    // A record with any value missing is not created.
    setInteger("EditForm Position", "Half_Left", 5);
    EXPECT_EQ(env->FindFormPosition("Half"), nullptr);
}

TEST_F(EnvironTest, RegistryHelpers)
{
    auto env = start();
    const std::string widths = key("Display\\Mch\\colwidth");
    EXPECT_EQ(env->ReadRegInteger(cmcSettingsRoot::CurrentUser, widths, "0"), -1);
    env->WriteRegInteger(cmcSettingsRoot::CurrentUser, widths, 120, "0");
    EXPECT_EQ(env->ReadRegInteger(cmcSettingsRoot::CurrentUser, widths, "0"), 120);
    env->DeleteRegKey(cmcSettingsRoot::CurrentUser, key("Display\\Mch"), "colwidth");
    EXPECT_EQ(env->ReadRegInteger(cmcSettingsRoot::CurrentUser, widths, "0"), -1);
}

TEST(RecentTest, CaseInsensitiveUniqueNewestSpellingFirst)
{
    cmcRecent recent(10);
    recent.AddFirst("/clones/Site.icf");
    recent.AddFirst("/clones/SITE.icf");
    recent.AddFirst("/clones/site.ICF");
    ASSERT_EQ(recent.Count(), 1);
    EXPECT_EQ(recent.Entry(0), "/clones/site.ICF");
}

TEST(RecentTest, CapacityDropsTheOldest)
{
    cmcRecent recent(10);
    for (int i = 0; i < 11; ++i)
        recent.AddFirst("/c/" + std::to_string(i) + ".icf");
    ASSERT_EQ(recent.Count(), 10);
    EXPECT_EQ(recent.Entry(0), "/c/10.icf");
    EXPECT_EQ(recent.Entry(9), "/c/1.icf");
    recent.AddLast("/c/x.icf");
    EXPECT_EQ(recent.Count(), 10);
    EXPECT_EQ(recent.Entry(9), "/c/1.icf");
}

TEST(RecentTest, DisplayNameShortensEntriesInTheGivenFolder)
{
    cmcRecent recent(10);
    recent.AddLast("/home/shop/a.icf");
    recent.AddLast("/srv/b.icf");
    EXPECT_EQ(recent.DisplayName(0, "/home/shop/"), "a.icf");
    EXPECT_EQ(recent.DisplayName(0, "/HOME/SHOP"), "a.icf");
    EXPECT_EQ(recent.DisplayName(1, "/home/shop"), "/srv/b.icf");
    EXPECT_EQ(recent.DisplayName(2, "/home/shop"), "");
    EXPECT_EQ(recent.DisplayName(0, ""), "/home/shop/a.icf");
}
