// The clone driver's data transfer: receiving and checking data records with the coverage
// test of a read, sending data records with the block acknowledgements of a write, the
// write request's retry mode, and the accessory settings items.
#include "link/cmcCloneDrv.h"

#include "link/cmcCloneFrames.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace {
// Bit a mod 8 of byte a / 8.
void markAddress(std::vector<std::uint8_t>& map, int a)
{
    map[static_cast<std::size_t>(a / 8)] |= static_cast<std::uint8_t>(1U << (a % 8));
}
} // namespace

void cmcCloneDrv::stepReceiveData(int& next, bool& active)
{
    next = step_;
    active = readLink() > 0;
    while (rx_.Size() > 0) {
        const int b = rx_.PopFront();
        if (b == cmcFrameStart) {
            frame_.Clear();
            frame_.AppendByte(cmcFrameStart);
            continue;
        }
        if (frame_.Size() == 0) {
            // Between frames only noise is dropped: a radio that refuses the read request
            // answers it with the single byte 0xFA, which no data text can contain.
            if (b == cmcRefusal && frameCount_ == 0) {
                endWith(cmcCloneCode::Frame, next);
                return;
            }
            continue;
        }
        if (b != cmcFrameEnd) {
            frame_.AppendByte(static_cast<std::uint8_t>(b));
            if (frame_.Size() > MaxDataFrame) {
                frame_.Clear();
                endWith(cmcCloneCode::Frame, next);
                return;
            }
            continue;
        }
        const cmcCloneCode code = checkDataFrame(frame_);
        frame_.Clear();
        active = true;
        if (code != cmcCloneCode::Accepted) {
            endWith(code, next);
            return;
        }
    }
}

cmcCloneCode cmcCloneDrv::checkDataFrame(const cmcBuff& frame)
{
    const int size = frame.Size();
    const std::uint8_t* d = frame.Data();
    if (size < MinDataFrame || size > MaxDataFrame + 1 || d[1] != cmcAddrProgram || d[2] != cmcAddrRadio)
        return cmcCloneCode::Frame;
    if (d[3] == cmcCmdEnd)
        return checkEndFrame(frame);
    if (d[3] != cmcCmdData)
        return cmcCloneCode::Frame;

    cmcDataRecord record;
    if (cmcDecodeRecordText(d + 4, size - 4, record) != cmcRecordCheck::Ok)
        return cmcCloneCode::Frame;
    const int count = static_cast<int>(record.data.size());
    cmcEeprom& image = result_->image;
    const int last = record.address + count - 1;
    if (count > 0 &&
        (last >= imageSize_ || !image.IsValidAddress(record.address) || !image.IsValidAddress(last)))
        return cmcCloneCode::Outside;
    if (count > 0) {
        image.WriteBlock(record.address, record.data.data(), count);
        cmcBuff& map = result_->receivedMap;
        const int needed = last / 8 + 1;
        if (map.Size() < needed) {
            const int old = map.Size();
            map.Resize(needed);
            std::memset(map.Data() + old, 0, static_cast<std::size_t>(needed - old));
        }
        for (int a = record.address; a <= last; ++a)
            *map.At(a / 8) |= static_cast<std::uint8_t>(1U << (a % 8));
    }
    progress_ += count;
    ++frameCount_;
    return cmcCloneCode::Accepted;
}

cmcCloneCode cmcCloneDrv::checkEndFrame(const cmcBuff& frame) const
{
    const std::string expected = cmcEndText(frameCount_, sendFrameCount_);
    const std::size_t length = static_cast<std::size_t>(frame.Size() - 4);
    const char* text = reinterpret_cast<const char*>(frame.Data() + 4);
    if (length != expected.size() || std::memcmp(text, cmcEndName.data(), cmcEndName.size()) != 0)
        return cmcCloneCode::Frame;
    if (std::memcmp(text, expected.data(), length) != 0)
        return cmcCloneCode::FrameCount;
    return ranges_ ? coverage() : cmcCloneCode::Ok;
}

cmcCloneCode cmcCloneDrv::coverage() const
{
    const int mapLength = (result_->image.GetSize() + 7) / 8;
    const cmcBuff& receivedMap = result_->receivedMap;
    if (receivedMap.Size() > mapLength)
        return cmcCloneCode::Outside;

    std::vector<std::uint8_t> expected(static_cast<std::size_t>(mapLength), 0);
    bool expectedOutsideImage = false; // such addresses can never arrive
    for (const AddressRange& range : *ranges_)
        for (int a = range.start; a <= range.end; ++a) {
            if (result_->image.IsValidAddress(a))
                markAddress(expected, a);
            else
                expectedOutsideImage = true;
        }
    std::vector<std::uint8_t> received(static_cast<std::size_t>(mapLength), 0);
    std::copy(receivedMap.Data(), receivedMap.Data() + receivedMap.Size(), received.begin());

    if (received == expected && !expectedOutsideImage)
        return cmcCloneCode::Ok;
    for (std::size_t i = 0; i < received.size(); ++i)
        if ((received[i] & ~expected[i]) != 0)
            return cmcCloneCode::Outside;
    return cmcCloneCode::Missing;
}

void cmcCloneDrv::buildDataFrame(const AddressRange& range)
{
    const int address = currentAddress_;
    const int count = std::min(16 - address % 16, range.end - address + 1);
    frame_.Clear();
    if (!onNetwork())
        frame_.AppendFill(cmcFrameStart, firstDataFrame_ ? dataPreambleFirst_ : dataPreambleLater_);
    firstDataFrame_ = false;
    cmcAppendHexTemplate(frame_, "FEFE EE EF E4");
    cmcAppendRecordText(frame_, address, result_->image.Bytes() + address, count);
    frame_.AppendByte(cmcFrameEnd);
    ++frameCount_;
    currentAddress_ += count;
    progress_ += count;
}

void cmcCloneDrv::stepSendData(int& next, bool& active)
{
    next = step_;
    active = false;
    const auto ranges = ranges_->Ranges();
    for (int i = 0; i < FramesPerStep; ++i) {
        if (frame_.Size() == 0) {
            if (rangeIndex_ >= ranges.size()) {
                // End of the list: the end frame follows once everything is on the wire.
                if (activeLink().OutputPending() == 0)
                    next = SendEnd;
                return;
            }
            if (currentAddress_ > ranges[rangeIndex_].end) {
                ++rangeIndex_;
                if (rangeIndex_ < ranges.size())
                    currentAddress_ = ranges[rangeIndex_].start;
                active = true;
                return;
            }
            buildDataFrame(ranges[rangeIndex_]);
        }
        // Keep the link's buffers small: hold the frame while four frames' worth waits.
        if (activeLink().OutputPending() > 4 * frame_.Size())
            return;
        if (onNetwork())
            cmcTick::Delay(20);
        sendBytes(frame_);
        frame_.Clear();
        active = true;
        if (blockSize_ > 0 && currentAddress_ != ranges[rangeIndex_].start &&
            currentAddress_ % blockSize_ == blockRemainder_) {
            next = AwaitBlockAck;
            return;
        }
    }
}

void cmcCloneDrv::stepAwaitWriteReadyRetry(int& next, bool& active)
{
    const int b = nextAnswerByte();
    if (b < 0 && !expiredAtStart_) {
        next = step_;
        active = false;
        return;
    }
    if (b == cmcAck) {
        next = SendData;
        return;
    }
    // No answer within a second, or not the one expected: ask again.
    ++attempts_;
    if (attempts_ < WriteRequestAttempts) {
        next = SendWriteRequest;
        return;
    }
    endWith(passwordSent_ ? cmcCloneCode::PasswordTimeout : cmcCloneCode::Timeout, next);
    passwordSent_ = false;
}

void cmcCloneDrv::stepAccessoryItem(int& next, bool& active)
{
    active = true;
    if (accessoryIndex_ > AccessoryItems) {
        next = AccessoryDone;
        return;
    }
    const int item = accessoryIndex_++;
    next = step_;
    if (!accessoryPending_[static_cast<std::size_t>(item)])
        return;
    accessoryPending_[static_cast<std::size_t>(item)] = false;
    ++progress_;
    if (item == 9)
        return; // item 9 sends nothing and waits for nothing
    sendAccessoryItem(item);
    accessoryLastItem_ = item;
    next = AwaitAccessoryAnswer;
}

void cmcCloneDrv::sendAccessoryItem(int item)
{
    cmcBuff frame;
    const auto command = [&](const char* body) { cmcAppendHexTemplate(frame, body); };
    const auto settingBytes = [&](int first, int count) {
        for (int i = 0; i < count; ++i)
            cmcAppendAsciiHex(frame, accessory_[static_cast<std::size_t>(first + i)]);
    };
    command("FEFE EEEF E8 8827 0100");
    switch (item) {
    case 1:
        command("C0 3030");
        break;
    case 2:
        command("C1 3030");
        break;
    case 10:
        command("01");
        settingBytes(0, 1);
        break;
    case 11:
        command("02");
        settingBytes(1, 4);
        break;
    case 12:
        command("03");
        settingBytes(5, 4);
        break;
    case 13:
        command("04");
        settingBytes(9, 4);
        break;
    case 14:
        command("C3 3030");
        break;
    case 15:
        command("CF 3030");
        break;
    case 16:
        command("C0 3030");
        break;
    default:
        return; // items 3 to 8 are never marked
    }
    frame.AppendByte(cmcFrameEnd);
    sendBytes(frame);
}
