// Reading clone files: every result code of the reader, the checks of the header, remark
// and data lines, the coverage test, the messages shown, and the target image restored on
// every failure.
#include "CloneFileFixtures.h"

#include "base/cmcGTex.h"
#include "base/cmcScriptedResponder.h"
#include "base/cmcTextTables.h"
#include "support/ShippedTexts.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>

#include <functional>

using namespace clonefile;

namespace {
// The source image the fixtures are made of (radio memory area random, rest 0).
const cmcEeprom& Source()
{
    static cmcEeprom image;
    if (image.GetSize() == 0) {
        FillRandom(image, cmcImageSize, 7);
        for (int a = cmcWorkingAreaStart; a < cmcImageSize; ++a)
            image.SetByte(a, 0);
    }
    return image;
}

std::string AllData(const std::string& eol = "\r\n")
{
    return DataLines(Source(), 0, cmcRadioMemoryEnd, eol);
}

// The whole data of a valid file, with text inserted after the data line of address.
std::string DataWithLineAfter(int address, const std::string& text)
{
    return DataLines(Source(), 0, address + 15) + text + DataLines(Source(), address + 16, cmcRadioMemoryEnd);
}

// The expected message box text of a code.
std::string MessageOf(cmcIcfResult code)
{
    return MainText().GetMultiLineText("GI_Mess_FileErr_Headline") + "\n\n" +
           MainText().GetMultiLineText(cmcIcfFile::MessageKey(code));
}

struct ReadCase {
    const char* name;
    std::function<std::string()> content;
    cmcIcfResult expected;
    bool withRanges = true; // coverage test against the radio memory area
};

class CloneFileRead : public ::testing::Test {
protected:
    // Reads content through a reader set up for a clone file into an image holding a
    // pattern; checks the code, the message and that a failure leaves the image alone.
    void ExpectRead(const ReadCase& c)
    {
        SCOPED_TRACE(c.name);
        WriteBytes(path_, c.content());
        cmcEeprom target;
        target.SetSize(cmcImageSize);
        target.Fill(0xA5);
        cmcEeprom before;
        before.CopyFrom(target);
        const std::uint8_t* array = target.Bytes();

        cmcIcfFile file;
        ConfigureForCloneFile(file, target);
        responder_.ClearBoxes();
        EXPECT_EQ(file.ReadCloneFile(path_, c.withRanges ? &RadioMemoryRanges() : nullptr), c.expected);
        EXPECT_EQ(target.Bytes(), array);
        if (c.expected == cmcIcfResult::Ok) {
            EXPECT_TRUE(responder_.Boxes().empty());
            return;
        }
        EXPECT_TRUE(target.Equals(before)) << "a failed read changed the image";
        ASSERT_EQ(responder_.Boxes().size(), 1u);
        EXPECT_EQ(responder_.Boxes()[0].text, MessageOf(c.expected));
    }

    TempFolder folder_;
    std::string path_ = folder_.File("case.icf");
    ShippedTexts texts_;
    cmcScriptedResponder responder_;
};
} // namespace

TEST_F(CloneFileRead, ResultCodesOfHeaderRemarkAndDataLines)
{
    using R = cmcIcfResult;
    const std::string data = AllData();
    const std::string line0 = DataLines(Source(), 0, 15, "");
    const ReadCase cases[] = {
        {"valid file", [&] { return Head() + data; }, R::Ok},
        {"LF line ends only", [&] { return Head("88260000", "\n") + AllData("\n"); }, R::Ok},
        {"lower-case data digits",
         [&] { return Head() + DataLines(Source(), 0, cmcRadioMemoryEnd, "\r\n", true); }, R::Ok},
        {"last data line without line end", [&] { return Head() + data.substr(0, data.size() - 2); }, R::Ok},
        {"no map revision line", [&] { return "88260000\r\n#Comment=x\r\n" + data; }, R::Ok},
        {"remark lines between data lines", [&] { return Head() + DataWithLineAfter(0x100, "#x\r\n#\r\n"); },
         R::Ok},
        {"map revision 2 after the first data line",
         [&] { return Head() + DataWithLineAfter(0x100, "#MapRev=2\r\n"); }, R::Ok},
        {"alternative word 2 0100", [&] { return Head("88260100") + data; }, R::Ok},
        {"empty file", [] { return std::string(); }, R::Format},
        {"header without line end", [] { return std::string("88260000"); }, R::Format},
        {"header of 9 characters", [&] { return Head("882600000") + data; }, R::Format},
        {"header of 7 characters", [&] { return Head("8826000") + data; }, R::Format},
        {"non-hex header", [&] { return Head("8826G000") + data; }, R::Format},
        {"other model 8827", [&] { return Head("88270000") + data; }, R::Model},
        {"word 2 000A", [&] { return Head("8826000A") + data; }, R::Extra},
        {"word 2 0001", [&] { return Head("88260001") + data; }, R::Extra},
        {"lower-case header digits are hex", [&] { return Head("8826000a") + data; }, R::Extra},
        {"CR alone as line end", [&] { return Head("88260000", "\r") + AllData("\r"); }, R::Format},
        {"map revision 2", [&] { return "88260000\r\n#MapRev=2\r\n" + data; }, R::MapRev},
        {"header and remarks only", [] { return Head(); }, R::Coverage},
        {"one data line missing",
         [&] {
             return Head() + DataLines(Source(), 0, 0x0FF) + DataLines(Source(), 0x110, cmcRadioMemoryEnd);
         },
         R::Coverage},
        {"data outside the expected addresses", [&] { return Head() + data + "FFF001AB\r\n"; }, R::Data},
        {"blank line among data lines", [&] { return Head() + DataWithLineAfter(0x40, "\r\n"); }, R::Format},
        {"odd digit count", [&] { return Head() + "000010" + std::string(31, '1') + "\r\n" + data; },
         R::Format},
        {"short address", [&] { return Head() + "00001" + std::string(32, '1') + "\r\n" + data; }, R::Format},
        {"count 0", [&] { return Head() + "00000000\r\n" + data; }, R::Format},
        {"count not matching the digits",
         [&] { return Head() + "000011" + std::string(32, '1') + "\r\n" + data; }, R::Format},
        {"data line longer than 516",
         [&] { return Head() + "0000FF" + std::string(512, '1') + "\r\n" + data; }, R::Format},
        {"blank inside a data line",
         [&] { return Head() + line0.substr(0, 10) + " " + line0.substr(11) + "\r\n"; }, R::Format},
        {"CR CR LF line end", [&] { return Head() + line0 + "\r\r\n" + data; }, R::Format},
        {"NUL at the start of a data line", [&] { return Head() + std::string(1, '\0') + line0 + "\r\n"; },
         R::Format},
        {"remark longer than one piece: the rest reads as a data line",
         [&] { return Head() + "#Comment=" + std::string(800, 'x') + "\r\n" + data; }, R::Format},
        {"no data lines without ranges", [] { return Head(); }, R::Ok, false},
        {"data outside the expected addresses without ranges", [&] { return Head() + data + "FFF001AB\r\n"; },
         R::Ok, false},
        {"longest data line without ranges",
         [&] { return Head() + "0000FF" + std::string(510, 'e') + "\r\n"; }, R::Ok, false},
    };
    for (const ReadCase& c : cases)
        ExpectRead(c);
}

TEST_F(CloneFileRead, ValidFileLoadsTheRadioMemoryArea)
{
    // A remark longer than a piece reads as several remark lines when every piece starts
    // with '#'; a later line overwrites an earlier one at the same addresses.
    WriteBytes(path_, Head() + AllData() + "#" + std::string(766, 'y') + "#rest\r\n" + "12300277EE\n");
    cmcEeprom target;
    target.SetSize(cmcImageSize);
    target.Fill(0x11);
    cmcIcfFile file;
    ConfigureForCloneFile(file, target);
    ASSERT_EQ(file.ReadCloneFile(path_, nullptr), cmcIcfResult::Ok);
    EXPECT_EQ(file.MapRev(), 1);
    for (int a = 0; a <= cmcRadioMemoryEnd; ++a) {
        const std::uint8_t expected = a == 0x1230 ? 0x77 : a == 0x1231 ? 0xEE : Source().GetByte(a);
        ASSERT_EQ(target.GetByte(a), expected) << "address " << a;
    }
    EXPECT_EQ(target.GetByte(cmcWorkingAreaStart), 0x11) << "the working area is not the file's";
    EXPECT_EQ(file.CheckCoverage(&RadioMemoryRanges()), cmcIcfResult::Ok);
}

TEST_F(CloneFileRead, LineEndSpanningTheReadAheadIsOneLineEnd)
{
    // Remark lines pad the file so that a CR LF falls on bytes 65535 and 65536, across the
    // reader's 64 KiB read-ahead; a CR read apart from its LF would leave a line "\n" alone,
    // which is a malformed data line.
    std::string text = Head();
    const std::string pad = "#" + std::string(698, 'p') + "\r\n";
    while (65536 + 1 - text.size() > cmcIcfFile::PieceChars + 1) // the last remark must be one piece
        text += pad;
    const std::size_t remark = 65536 + 1 - text.size(); // remark line with its CR LF
    text += "#" + std::string(remark - 3, 'q') + "\r\n";
    ASSERT_EQ(text.substr(65535, 2), "\r\n");
    WriteBytes(path_, text + AllData());
    cmcEeprom target;
    target.SetSize(cmcImageSize);
    cmcIcfFile file;
    ConfigureForCloneFile(file, target);
    EXPECT_EQ(file.ReadCloneFile(path_, &RadioMemoryRanges()), cmcIcfResult::Ok);
}

TEST_F(CloneFileRead, DataBeyondTheImageIsRefused)
{
    cmcEeprom target;
    target.SetSize(0x100);
    target.Fill(0x3C);
    cmcIcfFile file;
    ConfigureForCloneFile(file, target);
    // 0xF8 + 0x20 bytes runs past the last address 0xFF.
    WriteBytes(path_, Head() + "00F820" + std::string(64, '0') + "\r\n");
    EXPECT_EQ(file.ReadCloneFile(path_, nullptr), cmcIcfResult::Data);
    EXPECT_EQ(target.GetByte(0xF8), 0x3C);
    WriteBytes(path_, Head() + "00F808" + std::string(16, '0') + "\r\n");
    EXPECT_EQ(file.ReadCloneFile(path_, nullptr), cmcIcfResult::Ok);
    EXPECT_EQ(target.GetByte(0xFF), 0x00);
}

TEST_F(CloneFileRead, MapRevisionRules)
{
    cmcEeprom target;
    target.SetSize(cmcImageSize);
    const std::string data = DataLines(Source(), 0, 0xD6);
    struct MapRevCase {
        const char* remarks;
        bool repeater; // exact check for 1 instead of below 2
        cmcIcfResult expected;
        int mapRev; // as read
    };
    const MapRevCase cases[] = {
        {"", false, cmcIcfResult::Ok, -1},
        {"", true, cmcIcfResult::MapRev, -1},
        {"#MapRev=1\r\n", true, cmcIcfResult::Ok, 1},
        {"#MapRev=  -7\r\n", false, cmcIcfResult::Ok, -7},
        {"#MapRev=12abc\r\n", false, cmcIcfResult::MapRev, 12},
        {"#MapRev=\r\n", false, cmcIcfResult::Ok, 0},
        {"#MapRev=99999999999\r\n", false, cmcIcfResult::MapRev, 2147483647},
        // The number is read from the ninth character whatever precedes "MapRev=".
        {"#Note MapRev=1\r\n", false, cmcIcfResult::Ok, 0},
        {"#Note MapRev=1\r\n", true, cmcIcfResult::MapRev, 0},
        {"#MapRev=1\r\n#MapRev=3\r\n", false, cmcIcfResult::MapRev, 3},
        {"#mapRev=3\r\n", false, cmcIcfResult::Ok, -1},
    };
    for (const MapRevCase& c : cases) {
        SCOPED_TRACE(c.remarks);
        WriteBytes(path_, std::string("88260000\r\n") + c.remarks + data);
        cmcIcfFile file;
        file.SetImage(target);
        file.SetModelWords(0x8826, 0x0000);
        file.SetMapRevCheck(c.repeater ? RepeaterMapRev : CloneMapRev);
        EXPECT_EQ(file.ReadCloneFile(path_, &RepeaterRanges()), c.expected);
        EXPECT_EQ(file.MapRev(), c.mapRev);
    }

    // The test runs once, before the first data line, with the revision read so far.
    std::vector<int> asked;
    cmcIcfFile file;
    file.SetImage(target);
    file.SetModelWords(0x8826, 0x0000);
    file.SetMapRevCheck([&asked](int mapRev) {
        asked.push_back(mapRev);
        return true;
    });
    WriteBytes(path_, "88260000\r\n#MapRev=1\r\n" + DataLines(Source(), 0, 0x1F) + "#MapRev=5\r\n" +
                          DataLines(Source(), 0x20, 0xD6));
    EXPECT_EQ(file.ReadCloneFile(path_, &RepeaterRanges()), cmcIcfResult::Ok);
    EXPECT_EQ(asked, std::vector<int>{1});
    EXPECT_EQ(file.MapRev(), 5);

    // Without a map revision check no data line is accepted.
    cmcIcfFile unchecked;
    unchecked.SetImage(target);
    unchecked.SetModelWords(0x8826, 0x0000);
    EXPECT_EQ(unchecked.ReadCloneFile(path_, &RepeaterRanges()), cmcIcfResult::MapRev);
}

TEST_F(CloneFileRead, ModelWordsWithAndWithoutModelCheck)
{
    cmcEeprom target;
    target.SetSize(cmcImageSize);
    const std::string data = DataLines(Source(), 0, 0xD6);
    struct WordsCase {
        const char* header;
        cmcIcfResult withoutCheck; // words compared with 8826 0100
        cmcIcfResult withCheck;    // a check that refuses word 2 0100 without setting a code
    };
    const WordsCase cases[] = {
        {"88260100", cmcIcfResult::Ok, cmcIcfResult::Model},
        {"88260000", cmcIcfResult::Extra, cmcIcfResult::Ok},
        {"88250000", cmcIcfResult::Model, cmcIcfResult::Ok},
    };
    for (const WordsCase& c : cases) {
        SCOPED_TRACE(c.header);
        WriteBytes(path_, Head(c.header) + data);
        cmcIcfFile plain;
        plain.SetImage(target);
        plain.SetModelWords(0x8826, 0x0100);
        plain.SetMapRevCheck(CloneMapRev);
        EXPECT_EQ(plain.ReadCloneFile(path_, &RepeaterRanges()), c.withoutCheck);

        cmcIcfFile checked;
        checked.SetImage(target);
        checked.SetModelWords(0x8826, 0x0100);
        checked.SetMapRevCheck(CloneMapRev);
        checked.SetModelCheck([](int, int word2, cmcIcfResult&) { return word2 != 0x0100; });
        EXPECT_EQ(checked.ReadCloneFile(path_, &RepeaterRanges()), c.withCheck);
    }
}

TEST_F(CloneFileRead, FileThatCannotBeOpenedOrRead)
{
    cmcEeprom target;
    target.SetSize(cmcImageSize);
    target.Fill(0x42);
    cmcIcfFile file;
    ConfigureForCloneFile(file, target);
    EXPECT_EQ(file.ReadCloneFile(folder_.File("missing.icf"), &RadioMemoryRanges()), cmcIcfResult::FileOpen);
    // A folder opens but cannot be read: that is no empty file (code 6) but a read failure.
    EXPECT_EQ(file.ReadCloneFile(folder_.Path().string(), &RadioMemoryRanges()), cmcIcfResult::FileOpen);
    EXPECT_EQ(target.GetByte(0), 0x42);
    ASSERT_EQ(responder_.Boxes().size(), 2u);
    EXPECT_EQ(responder_.Boxes()[1].text, MessageOf(cmcIcfResult::FileOpen));
}

TEST_F(CloneFileRead, CoverageTest)
{
    cmcEeprom target;
    target.SetSize(cmcImageSize);
    cmcIcfFile file;
    ConfigureForCloneFile(file, target);
    EXPECT_EQ(file.CheckCoverage(nullptr), cmcIcfResult::Coverage);
    EXPECT_EQ(file.CheckCoverage(&RepeaterRanges()), cmcIcfResult::Coverage) << "nothing loaded yet";

    WriteBytes(path_, Head() + DataLines(Source(), 0x10, 0x2F));
    ASSERT_EQ(file.ReadCloneFile(path_, nullptr), cmcIcfResult::Ok);
    const AddressRangeList exact{{0x10, 0x1F}, {0x20, 0x2F}, AddressRangeList::ListEnd};
    const AddressRangeList wider{{0x10, 0x30}, AddressRangeList::ListEnd};
    const AddressRangeList narrower{{0x10, 0x2E}, AddressRangeList::ListEnd};
    const AddressRangeList elsewhere{{0x00, 0x1F}, AddressRangeList::ListEnd};
    // Marking stops at a range outside the image and at the pair that ends the list.
    const AddressRangeList stopsOutside{{0x10, 0x2F}, {0x40, cmcImageSize}, {0x50, 0x5F}};
    const AddressRangeList stopsAtEnd{{0x10, 0x2F}, AddressRangeList::ListEnd, {0x50, 0x5F}};
    const AddressRangeList stopsBeforeAll{{-1, 0x0F}, {0x10, 0x2F}};
    EXPECT_EQ(file.CheckCoverage(&exact), cmcIcfResult::Ok);
    EXPECT_EQ(file.CheckCoverage(&wider), cmcIcfResult::Coverage);
    EXPECT_EQ(file.CheckCoverage(&narrower), cmcIcfResult::Data);
    EXPECT_EQ(file.CheckCoverage(&elsewhere), cmcIcfResult::Data) << "data outside outweighs missing";
    EXPECT_EQ(file.CheckCoverage(&stopsOutside), cmcIcfResult::Ok);
    EXPECT_EQ(file.CheckCoverage(&stopsAtEnd), cmcIcfResult::Ok);
    EXPECT_EQ(file.CheckCoverage(&stopsBeforeAll), cmcIcfResult::Data);
    EXPECT_TRUE(responder_.Boxes().empty()) << "the coverage test shows nothing itself";
}

TEST_F(CloneFileRead, ReadingWithoutAnImageIsADefinitionError)
{
    FatalCatcher catcher;
    cmcIcfFile file;
    EXPECT_THROW((void)file.ReadCloneFile(path_, nullptr), FatalStop);
    EXPECT_THROW((void)file.WriteCloneFile(path_, RadioMemoryRanges()), FatalStop);
}

TEST_F(CloneFileRead, MessageOfEveryCode)
{
    const std::string caption = MainText().GetText("GI_Sys_AppTitle");
    const std::string headline = MainText().GetMultiLineText("GI_Mess_FileErr_Headline");
    ASSERT_FALSE(headline.empty());
    std::vector<std::string> texts;
    for (int code = 0; code <= 10; ++code) {
        SCOPED_TRACE(code);
        responder_.ClearBoxes();
        cmcIcfFile::ShowFileResult(static_cast<cmcIcfResult>(code));
        if (code == 0 || code == 10) {
            EXPECT_TRUE(responder_.Boxes().empty());
            continue;
        }
        ASSERT_EQ(responder_.Boxes().size(), 1u);
        const cmcMessage& box = responder_.Boxes()[0];
        const std::string own =
            MainText().GetMultiLineText(cmcIcfFile::MessageKey(static_cast<cmcIcfResult>(code)));
        EXPECT_FALSE(own.empty());
        EXPECT_EQ(box.text, headline + "\n\n" + own);
        EXPECT_EQ(box.caption, caption);
        EXPECT_EQ(box.icon, cmcMbIcon::Exclamation);
        EXPECT_EQ(box.buttons, cmcMbButtons::Ok);
        texts.push_back(own);
    }
    std::sort(texts.begin(), texts.end());
    EXPECT_EQ(std::unique(texts.begin(), texts.end()), texts.end()) << "every code has its own text";
}
