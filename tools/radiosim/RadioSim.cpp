// The simulated radio's line handling: polling the port, frame assembly, the output queue
// with its pacing, the frame log. The answers to each command are in RadioSimCommands.cpp.
#include "radiosim/RadioSim.h"

#include "base/cmcTask.h"
#include "base/cmcText.h"
#include "image/cmcBuff.h"
#include "image/cmcImageGeometry.h"
#include "link/cmcCloneFrames.h"

#include <algorithm>

namespace {
constexpr int readChunk = 4096;
constexpr std::size_t maxFrame = 600;          // longer frames are noise
constexpr std::size_t readAhead = 1024;        // output a read keeps queued
constexpr long long milliBitsPerByte = 10'000; // 10 bits a byte, in bit-milliseconds per baud
} // namespace

RadioSim::RadioSim(RadioSimConfig config, RadioSimPort& port)
    : config_(std::move(config)), port_(port), task_(std::make_unique<cmcTask>()), lineBaud_(config_.baud),
      busyLeft_(config_.faults.busyWrites)
{
    config_.lastAddress = std::clamp(config_.lastAddress, 0x000F, cmcRadioMemoryEnd);
    memory_.SetSize(cmcImageSize);
    task_->SetHandler([this](cmcTask&) { Poll(); });
    startMs_ = cmcTimers().NowMs();
    paceMs_ = startMs_;
}

RadioSim::~RadioSim()
{
    task_->Clear();
    cmcTask::Release(std::move(task_));
}

void RadioSim::SetMemory(const cmcEeprom& image)
{
    memory_.SetSize(cmcImageSize);
    const int n = std::min(image.GetSize(), cmcImageSize);
    if (n > 0)
        memory_.WriteBlock(0, image.Bytes(), n);
}

void RadioSim::SetModelWords(std::uint16_t word1, std::uint16_t word2)
{
    config_.modelWord1 = word1;
    config_.modelWord2 = word2;
}

void RadioSim::Start()
{
    paceMs_ = cmcTimers().NowMs();
    inputMs_ = paceMs_;
    task_->SetPeriod(config_.periodMs);
}

void RadioSim::Stop()
{
    task_->SetPeriod(-1);
}

void RadioSim::NewSession()
{
    unlocked_ = false;
    writeDirection_ = false;
    stalled_ = false;
    reading_ = false;
    writing_ = false;
    busyLeft_ = config_.faults.busyWrites;
    frame_.clear();
    feRun_ = 0;
    in_.clear();
    out_.clear();
    hangupWhenSent_ = false;
}

bool RadioSim::lineGarbled() const
{
    const int programBaud = port_.ProgramBaud();
    return programBaud > 0 && programBaud != lineBaud_;
}

void RadioSim::Poll()
{
    std::uint8_t buffer[readChunk];
    for (;;) {
        const int n = port_.Read(buffer, readChunk);
        if (n <= 0)
            break;
        if (lineGarbled())
            continue; // bytes at the wrong speed are noise to the radio
        if (config_.echo)
            out_.insert(out_.end(), buffer, buffer + n);
        if (config_.pace)
            in_.insert(in_.end(), buffer, buffer + n);
        else
            receive(buffer, n);
    }
    if (config_.pace)
        receivePaced();
    produceReadFrames();
    flushOutput();
}

void RadioSim::receivePaced()
{
    const std::uint32_t now = cmcTimers().NowMs();
    inputBits_ += static_cast<long long>(now - inputMs_) * lineBaud_;
    inputMs_ = now;
    const long long cap = std::max(4LL * config_.periodMs * lineBaud_, 20 * milliBitsPerByte);
    inputBits_ = std::min(inputBits_, cap);
    const std::size_t n = std::min(in_.size(), static_cast<std::size_t>(inputBits_ / milliBitsPerByte));
    if (n == 0)
        return;
    const std::vector<std::uint8_t> arrived(in_.begin(), in_.begin() + static_cast<std::ptrdiff_t>(n));
    in_.erase(in_.begin(), in_.begin() + static_cast<std::ptrdiff_t>(n));
    inputBits_ -= static_cast<long long>(n) * milliBitsPerByte;
    receive(arrived.data(), static_cast<int>(arrived.size()));
}

void RadioSim::receive(const std::uint8_t* data, int count)
{
    for (int i = 0; i < count; ++i) {
        const std::uint8_t b = data[i];
        if (b == cmcFrameStart) {
            ++feRun_;
            frame_.assign(1, cmcFrameStart);
            continue;
        }
        if (frame_.empty())
            continue;
        if (feRun_ > 0) {
            preamble_ = std::max(0, feRun_ - 2);
            feRun_ = 0;
        }
        if (b == cmcFrameEnd) {
            const std::vector<std::uint8_t> frame = std::move(frame_);
            frame_.clear();
            handleFrame(frame, preamble_);
            continue;
        }
        frame_.push_back(b);
        if (frame_.size() > maxFrame)
            frame_.clear();
    }
}

void RadioSim::flushOutput()
{
    if (!out_.empty() && lineGarbled())
        out_.clear(); // sent at the wrong speed: nothing the program can read
    std::size_t allowed = out_.size();
    if (config_.pace) {
        const std::uint32_t now = cmcTimers().NowMs();
        paceBits_ += static_cast<long long>(now - paceMs_) * lineBaud_;
        paceMs_ = now;
        // No bursts after a pause: at most a few periods' worth of credit.
        const long long cap = std::max(4LL * config_.periodMs * lineBaud_, 20 * milliBitsPerByte);
        paceBits_ = std::min(paceBits_, cap);
        allowed = std::min(allowed, static_cast<std::size_t>(paceBits_ / milliBitsPerByte));
    }
    if (allowed > 0) {
        const std::vector<std::uint8_t> chunk(out_.begin(),
                                              out_.begin() + static_cast<std::ptrdiff_t>(allowed));
        const int taken = std::max(0, port_.Write(chunk.data(), static_cast<int>(chunk.size())));
        out_.erase(out_.begin(), out_.begin() + taken);
        if (config_.pace)
            paceBits_ -= taken * milliBitsPerByte;
    }
    if (out_.empty() && hangupWhenSent_) {
        port_.Hangup();
        NewSession();
    }
}

void RadioSim::queue(const std::vector<std::uint8_t>& bytes)
{
    log(false, 0, bytes);
    out_.insert(out_.end(), bytes.begin(), bytes.end());
}

void RadioSim::queueByte(std::uint8_t b)
{
    queue({b});
}

void RadioSim::log(bool fromProgram, int preamble, const std::vector<std::uint8_t>& bytes)
{
    RadioSimFrame frame;
    frame.ms = cmcTimers().NowMs() - startMs_;
    frame.fromProgram = fromProgram;
    frame.preamble = preamble;
    frame.baud = lineBaud_;
    frame.bytes = bytes;
    if (logSink_)
        logSink_(FormatFrame(frame));
    frames_.push_back(std::move(frame));
}

int RadioSim::CountFrames(std::uint8_t command, bool fromProgram) const
{
    return static_cast<int>(std::count_if(frames_.begin(), frames_.end(), [&](const RadioSimFrame& f) {
        if (f.fromProgram != fromProgram || f.bytes.empty())
            return false;
        if (f.bytes.size() == 1)
            return f.bytes[0] == command;
        return f.bytes.size() > 4 && f.bytes[4] == command;
    }));
}

std::string RadioSim::FormatFrame(const RadioSimFrame& frame)
{
    std::string line =
        Format("%10.3f %s %6d", frame.ms / 1000.0, frame.fromProgram ? "pc>radio" : "radio>pc", frame.baud);
    if (frame.preamble > 0)
        line += Format(" [%d x FE]", frame.preamble);
    for (const std::uint8_t b : frame.bytes)
        line += Format(" %02X", b);
    return line;
}

void RadioSim::produceReadFrames()
{
    while (reading_ && !stalled_ && !hangupWhenSent_ && out_.size() < readAhead) {
        if (readAddress_ > ReadEnd()) {
            std::vector<std::uint8_t> end = cmcHexTemplateBytes("FEFE EF EE E5");
            const std::string text = cmcEndText(readFrames_ + (config_.faults.badCount ? 1 : 0), true);
            end.insert(end.end(), text.begin(), text.end());
            end.push_back(cmcFrameEnd);
            queue(end);
            reading_ = false;
            unlocked_ = false; // the operation is over
            break;
        }
        const int address = readAddress_;
        const int count = std::min(16 - address % 16, ReadEnd() - address + 1);
        cmcBuff text;
        cmcAppendRecordText(text, address, memory_.Bytes() + address, count);
        ++readFrames_;
        if (readFrames_ == config_.faults.badChecksumRecord) {
            // Checksum + 1: the record no longer adds up to 0.
            const std::uint8_t wrong =
                static_cast<std::uint8_t>(cmcRecordChecksum(address, memory_.Bytes() + address, count) + 1);
            text.Resize(text.Size() - 2);
            cmcAppendAsciiHex(text, wrong);
        }
        std::vector<std::uint8_t> frame = cmcHexTemplateBytes("FEFE EF EE E4");
        frame.insert(frame.end(), text.Data(), text.Data() + text.Size());
        frame.push_back(cmcFrameEnd);
        queue(frame);
        readAddress_ += count;
        stopAfterFrames(readFrames_);
    }
}
