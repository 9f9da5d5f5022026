// Damaged and random files: thousands of mutations of a valid clone file and random files,
// all reproducible (fixed seeds). None may crash or hang the reader, every failure shows
// exactly one message, and after every failure the target image is what it was.
#include "CloneFileFixtures.h"

#include "base/cmcScriptedResponder.h"
#include "support/ShippedTexts.h"

#include <gtest/gtest.h>

#include <map>

using namespace clonefile;

namespace {
// Sanitizer builds run the same mutations on a smaller image.
#if defined(__SANITIZE_ADDRESS__)
constexpr int imageSize = 0x800;
constexpr int mutatedFiles = 3000;
constexpr int randomFiles = 600;
#else
constexpr int imageSize = 0x2000;
constexpr int mutatedFiles = 3000;
constexpr int randomFiles = 600;
#endif

class Mutator {
public:
    explicit Mutator(unsigned seed) : random_(seed) {}

    int Below(int n) { return static_cast<int>(random_() % static_cast<unsigned>(n)); }
    char AnyByte() { return static_cast<char>(Below(256)); }
    // Characters that keep a damaged file close to the format, so the reader gets deep.
    char NearFormat()
    {
        static constexpr std::string_view alphabet = "0123456789ABCDEFabcdef#\r\n =MapRevG";
        return alphabet[static_cast<std::size_t>(Below(static_cast<int>(alphabet.size())))];
    }
    std::string Hex(int digits)
    {
        std::string text;
        for (int i = 0; i < digits; ++i)
            text += "0123456789ABCDEF"[Below(16)];
        return text;
    }

    void Mutate(std::string& text)
    {
        const std::size_t at =
            text.empty() ? 0 : static_cast<std::size_t>(Below(static_cast<int>(text.size())));
        switch (Below(10)) {
        case 0: // a byte of any value
            if (!text.empty())
                text[at] = AnyByte();
            break;
        case 1: // a character of the format's own alphabet
            if (!text.empty())
                text[at] = NearFormat();
            break;
        case 2: // inserted characters
            for (int n = 1 + Below(5); n > 0; --n)
                text.insert(at, 1, Below(2) ? NearFormat() : AnyByte());
            break;
        case 3: // a deleted span
            text.erase(at, static_cast<std::size_t>(1 + Below(60)));
            break;
        case 4: // truncation
            text.resize(at);
            break;
        case 5: { // a long line: hex, or a remark longer than a line piece
            std::string line = Below(2) ? Hex(100 + Below(1500)) : std::string(701 + Below(200), 'z');
            if (line.front() == 'z')
                line.front() = '#';
            text.insert(at, line.append("\r\n"));
            break;
        }
        case 6: // another header of 7 to 9 characters
            text.replace(0, text.find('\n') == std::string::npos ? text.size() : text.find('\n'),
                         Below(3) ? "8826" + Hex(4) : Hex(7 + Below(3)));
            break;
        case 7: { // a well-formed data line at any address with any count
            const int count = Below(4) ? 1 + Below(32) : Below(256);
            const std::size_t lineStart = text.rfind('\n', at);
            text.insert(lineStart == std::string::npos ? text.size() : lineStart + 1,
                        Hex(4) + Format2(count) + Hex(2 * count) + "\r\n");
            break;
        }
        case 8: { // another map revision, just before the first data line
            const std::size_t firstData = text.find("\n0000");
            text.insert(firstData == std::string::npos ? text.size() : firstData + 1,
                        "#MapRev=" + std::to_string(Below(5) - 1) + "\r\n");
            break;
        }
        default: // line ends of another kind
            for (std::size_t p = text.find("\r\n"); p != std::string::npos; p = text.find("\r\n", p + 1)) {
                if (Below(3) == 0)
                    text.replace(p, 2, Below(2) ? "\n" : "\r");
            }
            break;
        }
    }

    std::string RandomFile()
    {
        std::string text;
        const int length = Below(4000);
        const bool nearFormat = Below(2) == 0;
        if (Below(2) == 0)
            text = Head();
        for (int i = 0; i < length; ++i)
            text += nearFormat ? NearFormat() : AnyByte();
        return text;
    }

private:
    static std::string Format2(int value)
    {
        static constexpr char digits[] = "0123456789ABCDEF";
        return {digits[(value >> 4) & 0xF], digits[value & 0xF]};
    }

    std::mt19937 random_;
};
} // namespace

TEST(CloneFileRobustness, DamagedAndRandomFilesNeverChangeTheImageOnFailure)
{
    TempFolder folder(true);
    const std::string path = folder.File("damaged.icf");
    ShippedTexts texts;
    cmcScriptedResponder responder;

    cmcEeprom source;
    FillRandom(source, imageSize, 31);
    const std::string valid = Head() + DataLines(source, 0, imageSize - 1);
    const AddressRangeList ranges{{0, imageSize - 1}, AddressRangeList::ListEnd};

    cmcEeprom target;
    target.SetSize(imageSize);
    cmcEeprom before;
    cmcIcfFile file; // one reader for every file: nothing may stick from one read to the next
    ConfigureForCloneFile(file, target);

    Mutator mutator(20240611);
    std::map<cmcIcfResult, int> outcomes;
    for (int i = 0; i < mutatedFiles + randomFiles; ++i) {
        std::string text;
        if (i < mutatedFiles) {
            text = valid;
            for (int n = 1 + (mutator.Below(4) == 0 ? mutator.Below(5) : 0); n > 0; --n)
                mutator.Mutate(text);
        } else {
            text = mutator.RandomFile();
        }
        WriteBytes(path, text);
        target.Fill(static_cast<std::uint8_t>(i));
        before.CopyFrom(target);
        responder.ClearBoxes();

        const bool withRanges = i % 4 != 3;
        const cmcIcfResult result = file.ReadCloneFile(path, withRanges ? &ranges : nullptr);
        ++outcomes[result];
        if (result == cmcIcfResult::Ok) {
            ASSERT_TRUE(responder.Boxes().empty()) << "file " << i;
            continue;
        }
        ASSERT_TRUE(target.Equals(before))
            << "file " << i << " changed the image with code " << static_cast<int>(result);
        ASSERT_EQ(responder.Boxes().size(), 1u) << "file " << i;
        ASSERT_NE(result, cmcIcfResult::FileAccess);
        ASSERT_NE(result, cmcIcfResult::Newer);
        ASSERT_NE(result, cmcIcfResult::FileOpen);
    }
    // The damage reached every check of the reader.
    for (const cmcIcfResult code :
         {cmcIcfResult::Ok, cmcIcfResult::Model, cmcIcfResult::Extra, cmcIcfResult::MapRev,
          cmcIcfResult::Format, cmcIcfResult::Coverage, cmcIcfResult::Data})
        EXPECT_GT(outcomes[code], 0) << "code " << static_cast<int>(code) << " never arose";
}
