#include "base/cmcMemorySettingsStore.h"
#include "platform/cmcConfigFolder.h"
#include "platform/cmcCreateSettingsStore.h"
#include "platform/cmcIniSettingsStore.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>

namespace {
constexpr auto user = cmcSettingsRoot::CurrentUser;
constexpr auto machine = cmcSettingsRoot::LocalMachine;
const std::string root = "Software\\Zelk\\Torvane (NXDN)";
const std::string global = root + "\\Global";

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeFile(const QString& path, const QByteArray& data)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(data) == data.size();
}

// Every store behaves alike; the INI store is checked against the in-memory one.
template <typename Store> class SettingsStoreContract : public testing::Test {
protected:
    std::unique_ptr<cmcSettingsStore> makeStore()
    {
        if constexpr (std::is_same_v<Store, cmcIniSettingsStore>)
            return std::make_unique<cmcIniSettingsStore>(folder_.filePath(QStringLiteral("torvane.ini")));
        else
            return std::make_unique<Store>();
    }
    QTemporaryDir folder_;
};
using StoreTypes = testing::Types<cmcMemorySettingsStore, cmcIniSettingsStore>;
TYPED_TEST_SUITE(SettingsStoreContract, StoreTypes);
} // namespace

TYPED_TEST(SettingsStoreContract, ValuesKeepTheirType)
{
    auto store = this->makeStore();
    ASSERT_TRUE(store->WriteInteger(user, global, "ComPort", 3));
    ASSERT_TRUE(store->WriteText(user, global, "TcpipPort", "41000"));
    EXPECT_EQ(store->ReadInteger(user, global, "ComPort"), 3);
    EXPECT_EQ(store->ReadText(user, global, "ComPort"), std::nullopt);
    // A number stored as text is no integer, as with a registry string value.
    EXPECT_EQ(store->ReadInteger(user, global, "TcpipPort"), std::nullopt);
    EXPECT_EQ(store->ReadText(user, global, "TcpipPort"), "41000");
    // Writing again under the same name replaces value and type.
    ASSERT_TRUE(store->WriteText(user, global, "ComPort", "COM3"));
    EXPECT_EQ(store->ReadInteger(user, global, "ComPort"), std::nullopt);
    EXPECT_EQ(store->ReadText(user, global, "ComPort"), "COM3");
}

TYPED_TEST(SettingsStoreContract, MissingKeysValuesAndOtherRootsReadAsNone)
{
    auto store = this->makeStore();
    ASSERT_TRUE(store->WriteInteger(user, global, "BBT", 753951));
    EXPECT_EQ(store->ReadInteger(user, global, "bbt"), std::nullopt);
    EXPECT_EQ(store->ReadInteger(user, root + "\\Setup", "BBT"), std::nullopt);
    EXPECT_EQ(store->ReadInteger(machine, global, "BBT"), std::nullopt);
    EXPECT_EQ(store->ReadText(user, root, "BBT"), std::nullopt);
}

TYPED_TEST(SettingsStoreContract, DeleteKeyRemovesTheSubkeyWithAllBelowIt)
{
    auto store = this->makeStore();
    const std::string display = root + "\\Display";
    ASSERT_TRUE(store->WriteInteger(user, display + "\\Sheet A\\colwidth", "0", 40));
    ASSERT_TRUE(store->WriteInteger(user, display + "\\Sheet A\\colwidth\\deeper", "x", 1));
    ASSERT_TRUE(store->WriteInteger(user, display + "\\Sheet AB\\colwidth", "0", 50));
    ASSERT_TRUE(store->WriteInteger(user, display, "kept", 7));

    EXPECT_TRUE(store->DeleteKey(user, display, "Sheet A"));
    EXPECT_EQ(store->ReadInteger(user, display + "\\Sheet A\\colwidth", "0"), std::nullopt);
    EXPECT_EQ(store->ReadInteger(user, display + "\\Sheet A\\colwidth\\deeper", "x"), std::nullopt);
    EXPECT_EQ(store->ReadInteger(user, display + "\\Sheet AB\\colwidth", "0"), 50); // a sibling, not a child
    EXPECT_EQ(store->ReadInteger(user, display, "kept"), 7);
    // Deleting a subkey that is not there is fine; a parent that is not there is not.
    EXPECT_TRUE(store->DeleteKey(user, display, "Sheet A"));
    EXPECT_FALSE(store->DeleteKey(user, root + "\\Nowhere", "Sheet A"));
    EXPECT_FALSE(store->DeleteKey(machine, display, "Sheet AB"));
    EXPECT_EQ(store->ReadInteger(user, display + "\\Sheet AB\\colwidth", "0"), 50);
}

TEST(IniSettingsStoreTest, EveryValueComesBackFromTheFileOfAnotherRun)
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("sub/torvane.ini")); // the folder is made on Flush
    const std::string awkwardKey = root + "\\Display\\[St_Common]Key, with ] and \"quotes\"\\colwidth";
    const std::string awkwardText =
        "tab\tnewline\nCR\r quote\" backslash\\ bell\x07 del\x7f umlaut \xc3\xbc end ";
    {
        cmcIniSettingsStore store(path);
        ASSERT_TRUE(store.WriteInteger(user, global, "BBT", 753951));
        ASSERT_TRUE(store.WriteInteger(user, global, "Min", INT32_MIN));
        ASSERT_TRUE(store.WriteInteger(user, global, "Max", INT32_MAX));
        ASSERT_TRUE(store.WriteInteger(user, global, "Minus one", -1));
        ASSERT_TRUE(store.WriteText(user, global, "IpAddress", "192.168.0.11"));
        ASSERT_TRUE(store.WriteText(user, global, "Current Directory", ""));
        ASSERT_TRUE(store.WriteText(user, global, "Looks like an integer", "dword:0000002a"));
        ASSERT_TRUE(store.WriteText(user, root + "\\Recent File List", "Recent0", "/home/u/My Radios/a.icf"));
        ASSERT_TRUE(store.WriteText(user, awkwardKey, "name = \"odd\"\\\n", awkwardText));
        ASSERT_TRUE(store.WriteInteger(user, "", "at the root", 5));
        ASSERT_TRUE(store.WriteInteger(machine, global, "BBT", 1));
        ASSERT_TRUE(store.Flush());
    }
    const QByteArray file = readFile(path);
    EXPECT_TRUE(file.contains("[CurrentUser\\Software\\Zelk\\Torvane (NXDN)\\Global]\n")) << file.constData();
    EXPECT_TRUE(file.contains("\n\"BBT\"=dword:000b811f\n"));
    EXPECT_TRUE(file.contains("\n\"IpAddress\"=\"192.168.0.11\"\n"));

    cmcIniSettingsStore again(path);
    EXPECT_TRUE(again.Problems().empty()) << again.Problems().front();
    EXPECT_EQ(again.ReadInteger(user, global, "BBT"), 753951);
    EXPECT_EQ(again.ReadInteger(user, global, "Min"), INT32_MIN);
    EXPECT_EQ(again.ReadInteger(user, global, "Max"), INT32_MAX);
    EXPECT_EQ(again.ReadInteger(user, global, "Minus one"), -1);
    EXPECT_EQ(again.ReadText(user, global, "IpAddress"), "192.168.0.11");
    EXPECT_EQ(again.ReadText(user, global, "Current Directory"), "");
    EXPECT_EQ(again.ReadInteger(user, global, "Looks like an integer"), std::nullopt);
    EXPECT_EQ(again.ReadText(user, global, "Looks like an integer"), "dword:0000002a");
    EXPECT_EQ(again.ReadText(user, root + "\\Recent File List", "Recent0"), "/home/u/My Radios/a.icf");
    EXPECT_EQ(again.ReadText(user, awkwardKey, "name = \"odd\"\\\n"), awkwardText);
    EXPECT_EQ(again.ReadInteger(user, "", "at the root"), 5);
    EXPECT_EQ(again.ReadInteger(machine, global, "BBT"), 1);
    EXPECT_EQ(again.Serialise(), file);
}

TEST(IniSettingsStoreTest, DeletedKeysStayDeletedInTheFile)
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("torvane.ini"));
    {
        cmcIniSettingsStore store(path);
        ASSERT_TRUE(store.WriteInteger(user, root + "\\Display\\S1\\colwidth", "0", 40));
        ASSERT_TRUE(store.WriteInteger(user, global, "BBT", 753951));
        ASSERT_TRUE(store.Flush());
        ASSERT_TRUE(store.DeleteKey(user, root + "\\Display", "S1"));
        ASSERT_TRUE(store.Flush());
    }
    cmcIniSettingsStore again(path);
    EXPECT_EQ(again.ReadInteger(user, root + "\\Display\\S1\\colwidth", "0"), std::nullopt);
    EXPECT_EQ(again.ReadInteger(user, global, "BBT"), 753951);
}

TEST(IniSettingsStoreTest, HandEditedFileKeepsGoodLinesAndReportsTheRest)
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("torvane.ini"));
    const QByteArray text = "\xEF\xBB\xBF; edited by hand\r\n"
                            "\"Orphan\"=dword:1\r\n" // 2: before any section
                            "[CurrentUser\\Software\\Zelk\\Torvane (NXDN)\\Global]\r\n" // 3
                            "  \"ComPort\" = dword:0000000A  \r\n" // 4: blanks, upper case
                            "\"TcpipPort\"=\"41000\"\r\n"          // 5
                            "\"Broken\"=dword:123456789\r\n"       // 6: nine digits
                            "\"Unquoted\"=text\r\n"                // 7
                            "\"Open=\"abc\r\n"                     // 8
                            "\"Escape\"=\"\\q\"\r\n"               // 9
                            "\"Trailing\"=\"a\" b\r\n"             // 10
                            "# another comment\r\n"
                            "\"ComPort\"=dword:b\r\n" // 12: a later line wins
                            "[Elsewhere\\Global]\r\n" // 13
                            "\"BBT\"=dword:1\r\n"     // 14: in a skipped section, silently
                            "[CurrentUser\\Software\\Zelk\\Torvane (NXDN)\\Global\r\n"; // 15
    ASSERT_TRUE(writeFile(path, text));

    cmcIniSettingsStore store(path);
    EXPECT_TRUE(store.FileReadable());
    EXPECT_EQ(store.ReadInteger(user, global, "ComPort"), 11);
    EXPECT_EQ(store.ReadText(user, global, "TcpipPort"), "41000");
    for (const char* name : {"Broken", "Unquoted", "Open", "Escape", "Trailing", "Orphan", "BBT"}) {
        EXPECT_EQ(store.ReadInteger(user, global, name), std::nullopt) << name;
        EXPECT_EQ(store.ReadText(user, global, name), std::nullopt) << name;
    }
    std::vector<int> lines;
    for (const std::string& problem : store.Problems())
        lines.push_back(std::atoi(problem.c_str() + 5)); // "line N: ..."
    EXPECT_EQ(lines, (std::vector<int>{2, 6, 7, 8, 9, 10, 13, 15}));

    // Nothing changed: Flush leaves the file alone.
    ASSERT_TRUE(store.Flush());
    EXPECT_EQ(readFile(path), text);
    // A change rewrites it; the old text, with the lines that are now dropped, is kept aside.
    ASSERT_TRUE(store.WriteInteger(user, global, "ComPort", 2));
    ASSERT_TRUE(store.Flush());
    EXPECT_EQ(readFile(path + QStringLiteral(".bad")), text);
    cmcIniSettingsStore again(path);
    EXPECT_TRUE(again.Problems().empty());
    EXPECT_EQ(again.ReadInteger(user, global, "ComPort"), 2);
}

TEST(IniSettingsStoreTest, UnreadableFileIsNeverReplacedAndUnwritableFolderFails)
{
    QTemporaryDir folder;
    // A folder where the file should be: it exists but cannot be read as a file.
    const QString blocked = folder.filePath(QStringLiteral("torvane.ini"));
    ASSERT_TRUE(QDir().mkpath(blocked + QStringLiteral("/keep")));
    cmcIniSettingsStore store(blocked);
    EXPECT_FALSE(store.FileReadable());
    ASSERT_TRUE(store.WriteInteger(user, global, "BBT", 753951)); // the run goes on in memory
    EXPECT_EQ(store.ReadInteger(user, global, "BBT"), 753951);
    EXPECT_FALSE(store.Flush());
    EXPECT_TRUE(QDir(blocked + QStringLiteral("/keep")).exists());

    // A file where the folder should be: the folder cannot be made.
    const QString plainFile = folder.filePath(QStringLiteral("plain"));
    ASSERT_TRUE(writeFile(plainFile, "x"));
    cmcIniSettingsStore nowhere(plainFile + QStringLiteral("/torvane.ini"));
    EXPECT_TRUE(nowhere.FileReadable());
    ASSERT_TRUE(nowhere.WriteInteger(user, global, "BBT", 753951));
    EXPECT_FALSE(nowhere.Flush());
    EXPECT_EQ(readFile(plainFile), "x");
}

TEST(IniSettingsStoreTest, KeyPathWithALineBreakIsRefused)
{
    QTemporaryDir folder;
    cmcIniSettingsStore store(folder.filePath(QStringLiteral("torvane.ini")));
    EXPECT_FALSE(store.WriteInteger(user, root + "\\Bad\nKey", "v", 1));
    EXPECT_FALSE(store.WriteText(user, root + "\\Bad\tKey", "v", "t"));
    EXPECT_EQ(store.Serialise().count('['), 0);
}

TEST(IniSettingsStoreTest, FactoryUsesTheConfiguredFolder)
{
    const QString folder = cmcConfigFolder();
    ASSERT_EQ(folder, QDir::cleanPath(qEnvironmentVariable("TORVANE_CONFIG_DIR"))); // set by the test main
    auto store = cmcCreateSettingsStore();
    ASSERT_TRUE(store->WriteInteger(user, global, "BBT", 753951));
    ASSERT_TRUE(store->Flush());
    EXPECT_TRUE(readFile(folder + QStringLiteral("/torvane.ini")).contains("\"BBT\"=dword:000b811f"));

    // Without the variable: the user's configuration folder.
    const QByteArray saved = qgetenv("TORVANE_CONFIG_DIR");
    qunsetenv("TORVANE_CONFIG_DIR");
    const QString fallback = cmcConfigFolder();
    qputenv("TORVANE_CONFIG_DIR", saved);
    EXPECT_TRUE(fallback.endsWith(QStringLiteral("/torvane"))) << fallback.toStdString();
    EXPECT_NE(fallback, folder);
}
