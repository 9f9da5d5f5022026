// Frame assembly and the checks of answer and data frames, against a radio that answers
// with exactly the bytes each case gives (over the in-memory network link, virtual time).
#include "base/cmcManualTimers.h"
#include "image/cmcBuff.h"
#include "link/cmcCloneDrv.h"
#include "link/cmcCloneFrames.h"
#include "link/cmcMemoryLink.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace {
using Bytes = std::vector<std::uint8_t>;

Bytes Cat(std::initializer_list<Bytes> parts)
{
    Bytes all;
    for (const Bytes& p : parts)
        all.insert(all.end(), p.begin(), p.end());
    return all;
}

Bytes Ascii(const std::string& text)
{
    return {text.begin(), text.end()};
}

// A data frame from the radio; mangle may change its text before it is framed.
Bytes Record(int address, int count, const std::function<void(std::string&)>& mangle = {})
{
    Bytes data(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i)
        data[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(address + i);
    cmcBuff text;
    cmcAppendRecordText(text, address, data.data(), count);
    std::string s(reinterpret_cast<const char*>(text.Data()), static_cast<std::size_t>(text.Size()));
    if (mangle)
        mangle(s);
    return Cat({{0xFE, 0xFE, 0xEF, 0xEE, 0xE4}, Ascii(s), {0xFD}});
}

Bytes Records(int first, int count)
{
    Bytes all;
    for (int i = 0; i < count; ++i)
        all = Cat({all, Record(first + 16 * i, 16)});
    return all;
}

Bytes End(const std::string& text)
{
    return Cat({{0xFE, 0xFE, 0xEF, 0xEE, 0xE5}, Ascii(text), {0xFD}});
}

const Bytes infoAnswer{0xFE, 0xFE, 0xEF, 0xEE, 0xE1, 0x88, 0x26, 0x00, 0x00, 0x03, 0x01, 0x02, 0xFD};

// Answers: for a request command, the byte runs to send and after how many ms each.
using Answers = std::vector<std::pair<int, Bytes>>;

class CloneDrvFrameTest : public testing::Test {
protected:
    CloneDrvFrameTest()
    {
        drv.SetLinkChoice(cmcCloneDrv::LinkChoice::Network);
        drv.SetNetwork(41000, "192.168.0.11");
        drv.SetModelWords(0x8826, 0x0000);
        drv.SetImageSize(0x10000);
        drv.SetBlockAck(128, 0);
    }

    // Runs the operation started by start; the radio answers a frame of command with
    // answers.
    cmcCloneCode Run(const std::function<bool(cmcCloneDrv::Callback)>& start, std::uint8_t command,
                     const Answers& answers, std::uint32_t limitMs = 30000)
    {
        bool done = false;
        cmcCloneCode code = cmcCloneCode::LinkOpen;
        EXPECT_TRUE(start([&](dst_CDrv_Result& r) {
            done = true;
            code = r.code;
            info.assign(r.info.Data(), r.info.Data() + r.info.Size());
        }));
        std::vector<std::pair<std::uint32_t, Bytes>> due;
        Bytes frame;
        for (std::uint32_t t = 0; t < limitMs && !done; ++t) {
            timers.Advance(1);
            for (const std::uint8_t b : link.RadioReadAll()) {
                frame.push_back(b);
                if (b != cmcFrameEnd)
                    continue;
                const std::size_t at = frame.size() > 6 ? 4 : 0; // FE FE EE EF command
                if (at && frame[at] == command)
                    for (const auto& [delay, bytes] : answers)
                        due.emplace_back(timers.NowMs() + static_cast<std::uint32_t>(delay), bytes);
                frame.clear();
            }
            for (auto it = due.begin(); it != due.end();) {
                if (it->first <= timers.NowMs()) {
                    link.RadioWrite(it->second);
                    it = due.erase(it);
                } else {
                    ++it;
                }
            }
        }
        EXPECT_TRUE(done);
        return code;
    }

    cmcCloneCode Info(const Answers& answers)
    {
        return Run([this](cmcCloneDrv::Callback cb) { return drv.StartInfo(std::move(cb)); },
                   cmcCmdInfoRequest, answers);
    }
    cmcCloneCode Read(int end, const Answers& answers)
    {
        const AddressRangeList ranges{{0, end}, AddressRangeList::ListEnd};
        return Run([&](cmcCloneDrv::Callback cb) { return drv.StartRead(ranges, std::move(cb)); }, cmcCmdRead,
                   answers);
    }

    cmcManualTimers timers;
    cmcMemoryLink link;
    cmcCloneDrv drv{link.Factory()};
    Bytes info;
};
} // namespace

TEST_F(CloneDrvFrameTest, InformationAnswers)
{
    const Bytes request = cmcHexTemplateBytes("FEFE EE EF E0 8826 0000 FD");
    struct Case {
        const char* name;
        Answers answers;
        cmcCloneCode code;
    };
    const Case cases[] = {
        {"as it should be", {{0, infoAnswer}}, cmcCloneCode::Ok},
        {"noise and a third FE before it", {{0, Cat({{0x00, 0x11, 0xFE}, infoAnswer})}}, cmcCloneCode::Ok},
        {"split over several reads",
         {{0, Bytes(infoAnswer.begin(), infoAnswer.begin() + 6)},
          {25, Bytes(infoAnswer.begin() + 6, infoAnswer.end())}},
         cmcCloneCode::Ok},
        {"model word not BCD",
         {{0, {0xFE, 0xFE, 0xEF, 0xEE, 0xE1, 0x88, 0x4A, 0x00, 0x00, 0x01, 0xFD}}},
         cmcCloneCode::Frame},
        {"from the wrong address",
         {{0, {0xFE, 0xFE, 0xEE, 0xEF, 0xE1, 0x88, 0x26, 0x00, 0x00, 0x01, 0xFD}}},
         cmcCloneCode::Frame},
        {"too short", {{0, {0xFE, 0xFE, 0xEF, 0xEE, 0xE1, 0x88, 0x26, 0x00, 0xFD}}}, cmcCloneCode::Frame},
        {"another command",
         {{0, {0xFE, 0xFE, 0xEF, 0xEE, 0xE4, 0x88, 0x26, 0x00, 0x00, 0xFD}}},
         cmcCloneCode::Frame},
        {"echo of the request, answer in the same read", {{0, Cat({request, infoAnswer})}}, cmcCloneCode::Ok},
        {"echo of the request, answer later", {{0, request}, {30, infoAnswer}}, cmcCloneCode::Frame},
        {"overlong",
         {{0, Cat({{0xFE, 0xFE, 0xEF, 0xEE, 0xE1}, Bytes(530, 0x30), {0xFD}})}},
         cmcCloneCode::Frame},
        {"nothing", {}, cmcCloneCode::Timeout},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Info(c.answers), c.code);
        if (c.code == cmcCloneCode::Ok) {
            EXPECT_EQ(info, (Bytes{0x03, 0x01, 0x02}));
        }
    }
}

TEST_F(CloneDrvFrameTest, DataRecordsAndTheEndFrameOfARead)
{
    const auto lowerCase = [](std::string& s) {
        s[6] = 'a';
        s[7] = 'b';
    };
    struct Case {
        const char* name;
        int end; // of the range read
        Bytes answer;
        cmcCloneCode code;
    };
    const Case cases[] = {
        {"ten records, count 0A", 0x9F, Cat({Records(0, 10), End("Zelk Inc.0A")}), cmcCloneCode::Ok},
        {"count 0B after ten records", 0x9F, Cat({Records(0, 10), End("Zelk Inc.0B")}),
         cmcCloneCode::FrameCount},
        {"count 0a in lower case", 0x9F, Cat({Records(0, 10), End("Zelk Inc.0a")}), cmcCloneCode::FrameCount},
        {"another name", 0x9F, Cat({Records(0, 10), End("Zelk Inc,0A")}), cmcCloneCode::Frame},
        {"no count", 0x9F, Cat({Records(0, 10), End("Zelk Inc.")}), cmcCloneCode::Frame},
        {"addresses missing", 0xAF, Cat({Records(0, 10), End("Zelk Inc.0A")}), cmcCloneCode::Missing},
        {"beyond the range list", 0x0F, Cat({Records(0, 1), Record(0xFF80, 16), End("Zelk Inc.02")}),
         cmcCloneCode::Outside},
        {"lower-case digits", 0x0F, Record(0, 16, lowerCase), cmcCloneCode::Frame},
        {"odd number of bytes", 0x0F, Record(0, 15), cmcCloneCode::Frame},
        {"checksum off", 0x0F, Record(0, 16, [](std::string& s) { s.back() = s.back() == '0' ? '1' : '0'; }),
         cmcCloneCode::Frame},
        {"shorter than a record",
         0x0F,
         {0xFE, 0xFE, 0xEF, 0xEE, 0xE4, 0x30, 0x30, 0xFD},
         cmcCloneCode::Frame},
        {"another command",
         0x0F,
         {0xFE, 0xFE, 0xEF, 0xEE, 0xE7, 0x30, 0x30, 0x30, 0x30, 0x30, 0x30, 0x30, 0x30, 0xFD},
         cmcCloneCode::Frame},
        {"refusal", 0x0F, {cmcRefusal}, cmcCloneCode::Frame},
        {"noise between records", 0x1F,
         Cat({Record(0, 16), {0x00, 0x33}, Record(16, 16), End("Zelk Inc.02")}), cmcCloneCode::Ok},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Read(c.end, {{0, c.answer}}), c.code);
    }
}

TEST_F(CloneDrvFrameTest, RecordBeyondTheImageEndsTheReadAtOnce)
{
    drv.SetImageSize(0x100);
    const AddressRangeList ranges{{0, 0xFF}, AddressRangeList::ListEnd};
    std::uint32_t endedAt = 0;
    // No end frame follows: the read ends on the record itself.
    const cmcCloneCode code = Run(
        [&](cmcCloneDrv::Callback cb) {
            return drv.StartRead(ranges, [this, &endedAt, cb](dst_CDrv_Result& r) {
                endedAt = timers.NowMs();
                cb(r);
            });
        },
        cmcCmdRead, {{0, Cat({Record(0xF0, 16), Record(0x100, 16)})}});
    EXPECT_EQ(code, cmcCloneCode::Outside);
    EXPECT_LT(endedAt, 350u); // not a time-out
}

TEST_F(CloneDrvFrameTest, CompletionAnswerOfAWrite)
{
    cmcEeprom image;
    image.SetSize(0x10000);
    const AddressRangeList ranges{{0x0100, 0x017F}, AddressRangeList::ListEnd};
    const auto write = [&](cmcCloneDrv::Callback cb) { return drv.StartWrite(image, ranges, std::move(cb)); };
    struct Case {
        const char* name;
        Bytes answer;
        cmcCloneCode code;
    };
    const Case cases[] = {
        {"stored", {0xFE, 0xFE, 0xEF, 0xEE, 0xE6, 0x00, 0xFD}, cmcCloneCode::Ok},
        {"failure status", {0xFE, 0xFE, 0xEF, 0xEE, 0xE6, 0x01, 0xFD}, cmcCloneCode::WriteFailed},
        {"status with more bytes",
         {0xFE, 0xFE, 0xEF, 0xEE, 0xE6, 0x00, 0x00, 0xFD},
         cmcCloneCode::WriteFailed},
        {"another answer", {0xFE, 0xFE, 0xEF, 0xEE, 0xE5, 0x00, 0xFD}, cmcCloneCode::WriteFailed},
        {"no answer", {}, cmcCloneCode::WriteFailed},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        // The older handshake: a single 0xFB to the write request.
        drv.SetMainRevision(0);
        bool ended = false;
        cmcCloneCode code = cmcCloneCode::LinkOpen;
        ASSERT_TRUE(write([&](dst_CDrv_Result& r) {
            ended = true;
            code = r.code;
        }));
        Bytes frame;
        for (int t = 0; t < 10000 && !ended; ++t) {
            timers.Advance(1);
            for (const std::uint8_t b : link.RadioReadAll()) {
                frame.push_back(b);
                if (b != cmcFrameEnd)
                    continue;
                if (frame[4] == cmcCmdWrite)
                    link.RadioWrite(Bytes{cmcAck});
                else if (frame[4] == cmcCmdData &&
                         std::string(frame.begin() + 5, frame.begin() + 9) == "0170")
                    link.RadioWrite(Bytes{cmcAck});
                else if (frame[4] == cmcCmdEnd)
                    link.RadioWrite(c.answer);
                frame.clear();
            }
        }
        EXPECT_TRUE(ended);
        EXPECT_EQ(code, c.code);
    }
}
