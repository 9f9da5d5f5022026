// The simulated radio's answers: information, read and write requests, data records and
// the end frame of a write, the service commands (line speed, clone password, clone
// direction) and the network adaptor's accessory items.
#include "radiosim/RadioSim.h"

#include "link/cmcCloneFrames.h"

#include <algorithm>
#include <string>

namespace {
constexpr std::uint16_t accessoryWord1 = 0x8827;
constexpr std::uint16_t accessoryWord2 = 0x0100;
constexpr std::uint8_t subSpeed = 0x01;
constexpr std::uint8_t subDirection = 0x55;
constexpr std::uint8_t subPassword = 0x99;
constexpr int blockSize = 128;

// Pairs of upper-case hex digit characters as bytes; false on any other character or an
// odd count.
bool decodeAsciiHex(const std::uint8_t* text, int count, std::vector<std::uint8_t>& bytes)
{
    if (count % 2 != 0)
        return false;
    bytes.clear();
    for (int i = 0; i < count; i += 2) {
        const int high = cmcUpperHexValue(text[i]);
        const int low = cmcUpperHexValue(text[i + 1]);
        if (high < 0 || low < 0)
            return false;
        bytes.push_back(static_cast<std::uint8_t>(high << 4 | low));
    }
    return true;
}

std::uint16_t word(const std::vector<std::uint8_t>& f, std::size_t at)
{
    return static_cast<std::uint16_t>(f[at] << 8 | f[at + 1]);
}
} // namespace

void RadioSim::handleFrame(const std::vector<std::uint8_t>& frame, int preamble)
{
    // The frame as it was on the wire: it starts with the FE that frame assembly keeps.
    std::vector<std::uint8_t> wire(frame);
    wire.insert(wire.begin(), cmcFrameStart);
    wire.push_back(cmcFrameEnd);
    log(true, preamble, wire);

    if (config_.faults.silent || frame.size() < 4 || frame[1] != cmcAddrRadio || frame[2] != cmcAddrProgram)
        return;
    const std::uint8_t command = frame[3];
    if (stalled_ && command != cmcCmdInfoRequest)
        return;
    switch (command) {
    case cmcCmdInfoRequest:
        handleInfoRequest(frame);
        break;
    case cmcCmdRead:
        handleReadRequest();
        break;
    case cmcCmdWrite:
        handleWriteRequest();
        break;
    case cmcCmdData:
        handleData(frame);
        break;
    case cmcCmdEnd:
        handleEnd(frame);
        break;
    case cmcCmdService:
        handleService(frame);
        break;
    default:
        break; // not a command this radio knows
    }
}

bool RadioSim::locked(bool forRead) const
{
    if (config_.password.empty() || unlocked_)
        return false;
    return !forRead || config_.passwordForRead;
}

bool RadioSim::stopAfterFrames(int frames)
{
    const RadioSimFaults& f = config_.faults;
    if (frames == f.stallAfter) {
        stalled_ = true;
        reading_ = false;
        writing_ = false;
        return true;
    }
    if (frames == f.dropAfter) {
        if (reading_) {
            hangupWhenSent_ = true; // the records queued so far still go out
        } else {
            out_.clear();
            port_.Hangup();
            NewSession();
        }
        reading_ = false;
        writing_ = false;
        return true;
    }
    return false;
}

void RadioSim::handleInfoRequest(const std::vector<std::uint8_t>& frame)
{
    // Every operation of the program begins here: what an earlier one left is forgotten.
    unlocked_ = false;
    writeDirection_ = false;
    stalled_ = false;
    reading_ = false;
    writing_ = false;
    busyLeft_ = config_.faults.busyWrites;
    if (frame.size() < 8)
        return;
    const std::uint16_t word1 = word(frame, 4);
    if (word1 != config_.modelWord1 && word1 != 0)
        return; // asked for another model
    std::vector<std::uint8_t> answer = cmcHexTemplateBytes("FEFE EF EE E1");
    answer.push_back(static_cast<std::uint8_t>(config_.modelWord1 >> 8));
    answer.push_back(static_cast<std::uint8_t>(config_.modelWord1 & 0xFF));
    answer.push_back(static_cast<std::uint8_t>(config_.modelWord2 >> 8));
    answer.push_back(static_cast<std::uint8_t>(config_.modelWord2 & 0xFF));
    const auto info = RadioSimInfoRecord(config_);
    answer.insert(answer.end(), info.begin(), info.end());
    answer.push_back(cmcFrameEnd);
    queue(answer);
}

void RadioSim::handleReadRequest()
{
    if (locked(true))
        return; // a locked radio does not answer
    if (config_.faults.refuse) {
        queueByte(cmcRefusal);
        return;
    }
    writing_ = false;
    reading_ = true;
    readAddress_ = 0;
    readFrames_ = 0;
    stopAfterFrames(0);
}

void RadioSim::handleWriteRequest()
{
    if (busyLeft_ > 0) {
        --busyLeft_;
        return; // not ready yet: the program asks again
    }
    if (locked(false))
        return;
    // Radios of main revision 0 take a write only after the clone direction command.
    if (config_.faults.refuse || (config_.revision == 0 && !writeDirection_)) {
        queueByte(cmcRefusal);
        return;
    }
    reading_ = false;
    writing_ = true;
    writeBad_ = false;
    writeFrames_ = 0;
    staged_.assign(memory_.Bytes(), memory_.Bytes() + ReadEnd() + 1);
    if (stopAfterFrames(0))
        return;
    queueByte(cmcAck);
}

void RadioSim::handleData(const std::vector<std::uint8_t>& frame)
{
    if (!writing_)
        return;
    cmcDataRecord record;
    const bool sound = cmcDecodeRecordText(frame.data() + 4, static_cast<int>(frame.size()) - 4, record) ==
                       cmcRecordCheck::Ok;
    const int count = static_cast<int>(record.data.size());
    const int end = record.address + count; // one past the record
    if (!sound || end - 1 > ReadEnd()) {
        writeBad_ = true; // the write will end with a failure status
    } else {
        std::copy(record.data.begin(), record.data.end(), staged_.begin() + record.address);
    }
    ++writeFrames_;
    if (stopAfterFrames(writeFrames_))
        return;
    if (sound && count > 0 && end % blockSize == 0)
        queueByte(cmcAck);
}

void RadioSim::handleEnd(const std::vector<std::uint8_t>& frame)
{
    if (!writing_)
        return;
    const std::string text(frame.begin() + 4, frame.end());
    const bool counted = text == cmcEndText(writeFrames_, true) || text == cmcEndText(writeFrames_, false);
    const bool success = counted && !writeBad_ && !config_.faults.writeFail;
    writing_ = false;
    unlocked_ = false;
    writeDirection_ = false;
    std::vector<std::uint8_t> answer = cmcHexTemplateBytes("FEFE EF EE E6");
    answer.push_back(success ? 0x00 : 0x01);
    answer.push_back(cmcFrameEnd);
    if (success) {
        memory_.WriteBlock(0, staged_.data(), static_cast<int>(staged_.size()));
        ++completedWrites_;
    }
    queue(answer);
    if (success && writeListener_)
        writeListener_();
}

void RadioSim::handleService(const std::vector<std::uint8_t>& frame)
{
    if (frame.size() < 9)
        return;
    const std::uint16_t word1 = word(frame, 4);
    const std::uint16_t word2 = word(frame, 6);
    const std::uint8_t sub = frame[8];
    const std::uint8_t* args = frame.data() + 9;
    const int count = static_cast<int>(frame.size()) - 9;
    if (word1 == accessoryWord1 && word2 == accessoryWord2) {
        handleAccessory(sub, args, count);
        return;
    }
    if (word1 != config_.modelWord1 && word1 != 0)
        return;
    switch (sub) {
    case subSpeed:
        // Sent at one speed, it moves the radio to the other: "27" at 38400 baud asks for
        // 9600, "09" at 9600 baud for 38400.
        if (count >= 2 && args[0] == '2' && args[1] == '7')
            lineBaud_ = 9600;
        else if (count >= 2 && args[0] == '0' && args[1] == '9')
            lineBaud_ = 38400;
        break;
    case subPassword:
        handlePassword(args, count);
        break;
    case subDirection:
        if (count >= 2 && args[0] == '0')
            writeDirection_ = args[1] == '1';
        break;
    default:
        break; // adjustment and other service commands: not simulated
    }
}

void RadioSim::handlePassword(const std::uint8_t* args, int count)
{
    // Length, checksum and characters, each byte as two ASCII hex digits. A wrong password
    // is ignored: no answer, and the radio stays locked.
    std::vector<std::uint8_t> bytes;
    if (config_.password.empty() || !decodeAsciiHex(args, count, bytes) || bytes.size() < 2)
        return;
    const std::size_t length = bytes[0];
    if (bytes.size() != length + 2)
        return;
    unsigned sum = bytes[1];
    for (std::size_t i = 2; i < bytes.size(); ++i)
        sum += bytes[i];
    if ((sum & 0xFF) != 0)
        return;
    if (std::string(bytes.begin() + 2, bytes.end()) == config_.password)
        unlocked_ = true;
}

void RadioSim::handleAccessory(std::uint8_t sub, const std::uint8_t* args, int count)
{
    accessory_.items.push_back(sub);
    std::vector<std::uint8_t> bytes;
    bool sound = decodeAsciiHex(args, count, bytes);
    switch (sub) {
    case 0x01:
        sound = sound && bytes.size() == 1;
        if (sound)
            accessory_.dhcp = bytes[0];
        break;
    case 0x02:
    case 0x03:
    case 0x04: {
        sound = sound && bytes.size() == 4;
        auto& target = sub == 0x02 ? accessory_.address : sub == 0x03 ? accessory_.mask : accessory_.gateway;
        if (sound)
            std::copy(bytes.begin(), bytes.end(), target.begin());
        break;
    }
    default:
        break; // C0, C1, C3, CF: the adaptor's own commands, "00" as argument
    }
    queueByte(sound && !config_.faults.refuse ? 'o' : 'x');
}
