#include "base/cmcGTex.h"
#include "base/cmcHelpGTex.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace {
namespace fs = std::filesystem;

// A temporary folder for overlay files, removed with the object.
class OverlayFolder {
public:
    OverlayFolder()
    {
        std::string pattern = (fs::temp_directory_path() / "torvane-gtex-XXXXXX").string();
        if (!mkdtemp(pattern.data()))
            throw std::runtime_error("cannot create a temporary folder");
        path_ = pattern;
    }
    ~OverlayFolder()
    {
        std::error_code ignored;
        fs::remove_all(path_, ignored);
    }
    OverlayFolder(const OverlayFolder&) = delete;
    OverlayFolder& operator=(const OverlayFolder&) = delete;

    // Writes text as name, with every "\n" written as lineEnd.
    std::string Write(const std::string& name, const std::string& text,
                      const std::string& lineEnd = "\n") const
    {
        std::string bytes;
        for (const char c : text) {
            if (c == '\n')
                bytes += lineEnd;
            else
                bytes += c;
        }
        const std::string file = (path_ / name).string();
        std::ofstream(file, std::ios::binary) << bytes;
        return file;
    }
    [[nodiscard]] std::string Path() const { return path_.string(); }

private:
    fs::path path_;
};

// The fatal stop text that action ends in, or "<no stop>".
template <class Action> std::string FatalTextOf(Action&& action)
{
    const FatalCatcher catcher;
    try {
        action();
    } catch (const FatalStop& stop) {
        return stop.what();
    }
    return "<no stop>";
}

// prefix followed by the number i ("K12").
std::string Numbered(const char* prefix, int i)
{
    std::string text = prefix;
    text += std::to_string(i);
    return text;
}

std::string NotFound(const std::string& key)
{
    return "GTEX Error !\nThe index '" + key + "' was not found.";
}

// Lines before the first key belong to no key; "#" alone is no key line; "Dup" comes twice
// and "After" lies behind the end of the index.
const char* const Sample = "preamble\n"
                           "#Title\n"
                           "Hello, world\n"
                           "#List\n"
                           "one\n"
                           "\n"
                           "three\n"
                           "#\n"
                           "#Dup\n"
                           "first\n"
                           "#Spaced Key \n"
                           "x\n"
                           "#Dup\n"
                           "second\n"
                           "#End_Of_Ovl\n"
                           "#After\n"
                           "late\n";

std::vector<std::string> SampleLines()
{
    std::vector<std::string> lines;
    std::string text = Sample;
    std::size_t begin = 0;
    for (std::size_t end; (end = text.find('\n', begin)) != std::string::npos; begin = end + 1)
        lines.push_back(text.substr(begin, end - begin));
    return lines;
}

// The same reads from every kind of source: LF file, CR LF file, array of lines.
void ExpectSampleReads(cmcGTex& table)
{
    EXPECT_EQ(table.GetText("Title"), "Hello, world");
    // Entries are just the following lines: past the record come the next key lines.
    EXPECT_EQ(table.GetEntry("Title", 1), "#List");
    EXPECT_EQ(table.GetEntry("List", 0), "one");
    EXPECT_EQ(table.GetEntry("List", 1), "");
    EXPECT_EQ(table.GetEntry("List", 3), "#");
    EXPECT_EQ(table.GetEntry("List", 4), "#Dup");
    EXPECT_EQ(table.GetMultiLineText("List"), "one\n\nthree");
    EXPECT_EQ(table.GetMultiLineText("Title"), "Hello, world");
    EXPECT_EQ(table.GetText("Dup"), "first");
    EXPECT_EQ(table.GetText("Spaced Key "), "x");
    EXPECT_FALSE(table.HasKey("Spaced Key"));
    EXPECT_FALSE(table.HasKey("title"));
    EXPECT_FALSE(table.HasKey(""));
    EXPECT_FALSE(table.HasKey("After"));
    EXPECT_TRUE(table.HasKey("End_Of_Ovl"));
    EXPECT_EQ(FatalTextOf([&] { (void)table.GetText("After"); }), NotFound("After"));
    EXPECT_EQ(FatalTextOf([&] { (void)table.GetText("Missing"); }), NotFound("Missing"));
}

class GTexTest : public testing::Test {
protected:
    OverlayFolder folder;
};
} // namespace

TEST_F(GTexTest, ReadsTheSameFromLfCrLfFilesAndLines)
{
    cmcGTex lf;
    lf.SetFile(folder.Write("lf.OVL", Sample));
    ExpectSampleReads(lf);
    EXPECT_EQ(lf.Source(), cmcGTexSource::File);

    cmcGTex crlf;
    crlf.SetFile(folder.Write("crlf.OVL", Sample, "\r\n"));
    ExpectSampleReads(crlf);

    cmcGTex lines;
    EXPECT_TRUE(lines.SetLines(SampleLines()));
    EXPECT_EQ(lines.Source(), cmcGTexSource::Lines);
    ExpectSampleReads(lines);
}

TEST_F(GTexTest, EntriesReadInAnyOrderAreRight)
{
    // The per-key cursor must not mix keys up, and a lower entry restarts at entry 0.
    const std::string file = folder.Write("o.OVL", "#A\na0\na1\na2\na3\n#B\nb0\nb1\n#End_Of_Ovl\n");
    const std::vector<std::tuple<std::string, int, std::string>> reads = {
        {"A", 3, "a3"}, {"A", 0, "a0"},          {"A", 1, "a1"}, {"B", 1, "b1"},
        {"A", 2, "a2"}, {"B", 0, "b0"},          {"A", 2, "a2"}, {"A", 4, "#B"},
        {"A", 1, "a1"}, {"B", 2, "#End_Of_Ovl"}, {"B", 1, "b1"},
    };
    cmcGTex table;
    table.SetFile(file);
    for (const auto& [key, n, expected] : reads)
        EXPECT_EQ(table.GetEntry(key, n), expected) << key << " " << n;
}

TEST_F(GTexTest, ScansOnlyAsFarAsLookupsNeedAndMovesFrequentKeysToTheFront)
{
    std::string text;
    std::vector<std::string> keys;
    for (int i = 0; i < 15; ++i) {
        keys.push_back(Numbered("K", i));
        text += '#';
        text += keys.back();
        text += '\n';
        text += Numbered("v", i);
        text += '\n';
    }
    cmcGTex table;
    table.SetFile(folder.Write("o.OVL", text + "#End_Of_Ovl\n#K99\n"));

    EXPECT_EQ(table.GetText("K0"), "v0");
    EXPECT_EQ(table.IndexedKeys(), std::vector<std::string>{"K0"});
    EXPECT_EQ(table.GetText("K12"), "v12");
    EXPECT_EQ(table.IndexedKeys(), std::vector<std::string>(keys.begin(), keys.begin() + 13));
    EXPECT_TRUE(table.IsScanPending());

    // Found at list position 11: moves to the head. K10 then sits at 11 and moves as well;
    // K8 at position 10 stays where it is.
    EXPECT_EQ(table.GetText("K11"), "v11");
    EXPECT_EQ(table.GetText("K10"), "v10");
    EXPECT_EQ(table.GetText("K8"), "v8");
    const std::vector<std::string> moved = {"K10", "K11", "K0", "K1", "K2", "K3", "K4",
                                            "K5",  "K6",  "K7", "K8", "K9", "K12"};
    EXPECT_EQ(table.IndexedKeys(), moved);

    // A missing key completes the scan at "#End_Of_Ovl", never reaching K99.
    EXPECT_FALSE(table.HasKey("K99"));
    EXPECT_FALSE(table.IsScanPending());
    EXPECT_EQ(table.IndexedKeys().size(), 16U);
    EXPECT_EQ(table.IndexedKeys().back(), "End_Of_Ovl");
    EXPECT_EQ(table.GetText("K14"), "v14");
}

TEST_F(GTexTest, LineCacheServesRepeatedReadsAndDropsTheLeastRecentlyUsed)
{
    std::string text = "#Big\n";
    for (int i = 0; i < 30; ++i)
        text += Numbered("b", i) + '\n';
    text += "#Other\n";
    for (int i = 0; i < 40; ++i)
        text += Numbered("o", i) + '\n';
    cmcGTex table;
    table.SetFile(folder.Write("o.OVL", text + "#End_Of_Ovl\n"));
    ASSERT_TRUE(table.HasKey("Other"));
    const cmcGTex::Stats start = table.GetStats();
    const auto reads = [&] { return table.GetStats().sourceReads - start.sourceReads; };
    const auto hits = [&] { return table.GetStats().cacheHits - start.cacheHits; };

    // In increasing order every entry costs one line read; the second pass is all cache.
    for (int i = 0; i < 30; ++i)
        ASSERT_EQ(table.GetEntry("Big", i), Numbered("b", i));
    EXPECT_EQ(reads(), 30);
    EXPECT_EQ(hits(), 0);
    for (int i = 0; i < 30; ++i)
        ASSERT_EQ(table.GetEntry("Big", i), Numbered("b", i));
    EXPECT_EQ(reads(), 30);
    EXPECT_EQ(hits(), 30);

    // Fill the cache, touch b0, then add one line: b1 is now the least recently used.
    for (int i = 0; i < 34; ++i)
        ASSERT_EQ(table.GetEntry("Other", i), Numbered("o", i));
    EXPECT_EQ(table.CachedLineCount(), cmcGTex::CacheLines);
    EXPECT_EQ(table.GetEntry("Big", 0), "b0");
    EXPECT_EQ(table.GetEntry("Other", 34), "o34");
    EXPECT_EQ(table.CachedLineCount(), cmcGTex::CacheLines);
    EXPECT_EQ(reads(), 65);
    EXPECT_EQ(table.GetEntry("Big", 0), "b0"); // restarts at entry 0: still cached
    EXPECT_EQ(reads(), 65);
    EXPECT_EQ(table.GetEntry("Big", 1), "b1"); // dropped: read again
    EXPECT_EQ(reads(), 66);
}

TEST_F(GTexTest, LongLinesReadAsSeveralEntries)
{
    struct Case {
        std::size_t length;
        const char* lineEnd;
        std::vector<std::size_t> pieces; // lengths of the entries the line reads as
    };
    const std::vector<Case> cases = {
        {8191, "\n", {8191}},      {8191, "\r\n", {8191}},    {8192, "\n", {8192, 0}},
        {8192, "\r\n", {8192, 0}}, {8200, "\r\n", {8192, 8}}, {8192 * 2 + 5, "\n", {8192, 8192, 5}},
    };
    for (const Case& c : cases) {
        std::string line(c.length, ' ');
        for (std::size_t i = 0; i < line.size(); ++i)
            line[i] = static_cast<char>('a' + i % 26);
        cmcGTex table;
        table.SetFile(folder.Write("long.OVL", "#L\n" + line + "\n#End_Of_Ovl\n", c.lineEnd));
        std::size_t begin = 0;
        for (std::size_t n = 0; n < c.pieces.size(); ++n) {
            EXPECT_EQ(table.GetEntry("L", static_cast<int>(n)), line.substr(begin, c.pieces[n]))
                << c.length << " piece " << n;
            begin += c.pieces[n];
        }
        EXPECT_EQ(table.GetEntry("L", static_cast<int>(c.pieces.size())), "#End_Of_Ovl") << c.length;
    }
}

TEST_F(GTexTest, SourceFailuresAreFatalButHasKeyOnlyAnswersFalse)
{
    cmcGTex missing;
    missing.SetFile(folder.Path() + "/NOPE.OVL");
    EXPECT_FALSE(missing.HasKey("GI_Title"));
    EXPECT_EQ(FatalTextOf([&] { (void)missing.GetText("GI_Title"); }), NotFound("GI_Title"));

    // A language entry without a file name leaves the folder itself as the file.
    cmcGTex folderOnly;
    folderOnly.SetFile(folder.Path() + "/");
    EXPECT_EQ(FatalTextOf([&] { (void)folderOnly.GetText("GI_Title"); }), NotFound("GI_Title"));

    cmcGTex none;
    EXPECT_EQ(FatalTextOf([&] { (void)none.GetText("A"); }), NotFound("A"));
}

TEST_F(GTexTest, ReadPastTheEndIsFatalAndLeavesTheKeyIntact)
{
    // No "#End_Of_Ovl", no final line end: the scan stops at the end of the file.
    cmcGTex file;
    file.SetFile(folder.Write("short.OVL", "#A\na0\n#B\nb0"));
    cmcGTex lines;
    lines.SetLines({"#A", "a0", "#B", "b0"});
    for (cmcGTex* table : {&file, &lines}) {
        EXPECT_EQ(table->GetText("B"), "b0");
        EXPECT_EQ(FatalTextOf([&] { (void)table->GetEntry("B", 1); }), NotFound("B"));
        EXPECT_EQ(FatalTextOf([&] { (void)table->GetEntry("A", -1); }), NotFound("A"));
        EXPECT_EQ(table->GetEntry("A", 1), "#B");
        EXPECT_EQ(table->GetEntry("A", 0), "a0");
        EXPECT_EQ(table->GetEntry("B", 0), "b0");
        EXPECT_FALSE(table->HasKey("C"));
        EXPECT_FALSE(table->IsScanPending());
    }
}

TEST_F(GTexTest, SetFileForgetsEverythingAndSetLinesNeedsAnEmptyTable)
{
    const std::string first = folder.Write("1.OVL", "#A\nfirst\n#End_Of_Ovl\n");
    const std::string second = folder.Write("2.OVL", "#B\nsecond\n#A\nagain\n#End_Of_Ovl\n");
    cmcGTex table;
    EXPECT_TRUE(table.SetFile(first));
    EXPECT_EQ(table.GetText("A"), "first");
    EXPECT_FALSE(table.SetLines({"#A", "lines", "#End_Of_Ovl"}));
    EXPECT_EQ(table.GetText("A"), "first");
    EXPECT_TRUE(table.SetFile(second));
    EXPECT_EQ(table.IndexedKeys(), std::vector<std::string>{});
    EXPECT_EQ(table.GetText("A"), "again");
    EXPECT_EQ(table.GetText("B"), "second");

    cmcGTex fromLines;
    EXPECT_TRUE(fromLines.SetLines({"#A", "lines", "#End_Of_Ovl"}));
    EXPECT_FALSE(fromLines.SetLines({"#A", "other", "#End_Of_Ovl"}));
    EXPECT_EQ(fromLines.GetText("A"), "lines");
}

TEST_F(GTexTest, HelpTableKeepsTheFirstFile)
{
    const std::string first = folder.Write("H1.OVL", "#Item\npage1.htm\n#End_Of_Ovl\n");
    const std::string second = folder.Write("H2.OVL", "#Item\npage2.htm\n#End_Of_Ovl\n");
    cmcHelpGTex help;
    EXPECT_TRUE(help.SetFile(first));
    EXPECT_EQ(help.GetText("Item"), "page1.htm");
    EXPECT_FALSE(help.SetFile(second));
    EXPECT_EQ(help.FileName(), first);
    EXPECT_EQ(help.GetText("Item"), "page1.htm");

    // Through the base class as well: the choice is the table's, not the caller's.
    cmcGTex& asTable = help;
    EXPECT_FALSE(asTable.SetFile(second));
    EXPECT_EQ(asTable.GetText("Item"), "page1.htm");
}

TEST_F(GTexTest, ByteOrderMarkDoesNotHideTheFirstKey)
{
    cmcGTex table;
    table.SetFile(folder.Write("bom.OVL", "\xEF\xBB\xBF#First\nv\xC3\xA4\n#End_Of_Ovl\n"));
    EXPECT_EQ(table.GetText("First"), "v\xC3\xA4");
}
