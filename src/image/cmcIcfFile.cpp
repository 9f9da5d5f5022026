#include "image/cmcIcfFile.h"

#include "base/cmcFatal.h"
#include "base/cmcGTex.h"
#include "base/cmcMessageBox.h"
#include "base/cmcText.h"
#include "base/cmcTextTables.h"
#include "image/cmcEeprom.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <random>

namespace {
namespace fs = std::filesystem;

constexpr char hexDigits[] = "0123456789ABCDEF";
constexpr std::string_view lineEnd = "\r\n";

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

bool allHex(std::string_view text)
{
    return std::all_of(text.begin(), text.end(), [](char c) { return hexValue(c) >= 0; });
}

// The value of hex digits already known to be valid.
int hexNumber(std::string_view digits)
{
    int value = 0;
    for (const char c : digits)
        value = value * 16 + hexValue(c);
    return value;
}

// The decimal number at the start of text as a C conversion reads it: leading white space
// and one sign allowed, reading stops at the first non-digit, 0 without digits. Values
// beyond the int range saturate.
int leadingInteger(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r')))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    long long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
        value = std::min(value * 10 + (text[i] - '0'), static_cast<long long>(INT_MAX) + 1);
    if (negative)
        return static_cast<int>(-value);
    return static_cast<int>(std::min(value, static_cast<long long>(INT_MAX)));
}

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

// Reads a file the way the clone file format is defined on: as text whose CR LF line ends
// read as a single LF, taken in pieces of at most cmcIcfFile::PieceChars characters, each
// ending after its line end or when full. A NUL byte is an ordinary character.
class PieceReader {
public:
    explicit PieceReader(std::FILE* file) : file_(file), buffer_(1 << 16) {}

    // The next piece; false at the end of the file and after a read error (Failed tells).
    bool Next(std::string& piece)
    {
        piece.clear();
        while (piece.size() < static_cast<std::size_t>(cmcIcfFile::PieceChars)) {
            const int c = get();
            if (c < 0)
                break;
            piece.push_back(static_cast<char>(c));
            if (c == '\n')
                break;
        }
        return !failed_ && !piece.empty();
    }
    [[nodiscard]] bool Failed() const { return failed_; }

private:
    int get()
    {
        const int c = raw();
        if (c == '\r' && peek() == '\n') {
            ++position_;
            return '\n';
        }
        return c;
    }
    int raw()
    {
        if (position_ == length_ && !fill())
            return -1;
        return static_cast<unsigned char>(buffer_[position_++]);
    }
    int peek()
    {
        if (position_ == length_ && !fill())
            return -1;
        return static_cast<unsigned char>(buffer_[position_]);
    }
    bool fill()
    {
        if (failed_)
            return false;
        position_ = 0;
        length_ = std::fread(buffer_.data(), 1, buffer_.size(), file_);
        if (length_ == 0 && std::ferror(file_))
            failed_ = true;
        return length_ > 0;
    }

    std::FILE* file_;
    std::vector<char> buffer_;
    std::size_t position_ = 0;
    std::size_t length_ = 0;
    bool failed_ = false;
};

// Writes into a file and remembers the first failure; a limit set for tests fails the
// write that would grow the file beyond it, as a full disk would.
class LimitedWriter {
public:
    LimitedWriter(std::FILE* file, std::int64_t limit) : file_(file), limit_(limit) {}

    bool Put(std::string_view text)
    {
        if (failed_)
            return false;
        if (limit_ >= 0 && written_ + static_cast<std::int64_t>(text.size()) > limit_) {
            failed_ = true;
            return false;
        }
        if (std::fwrite(text.data(), 1, text.size(), file_) != text.size())
            failed_ = true;
        written_ += static_cast<std::int64_t>(text.size());
        return !failed_;
    }
    [[nodiscard]] bool Failed() const { return failed_; }

private:
    std::FILE* file_;
    std::int64_t limit_;
    std::int64_t written_ = 0;
    bool failed_ = false;
};

// A name for the successor of target in target's folder, unlikely to be taken.
fs::path temporarySibling(const fs::path& target)
{
    static std::mt19937 generator{std::random_device{}()};
    std::uniform_int_distribution<std::uint32_t> number;
    return target.parent_path() / (target.filename().string() + Format(".%08X.tmp", number(generator)));
}

void markBits(std::vector<std::uint8_t>& bitmap, int start, int count)
{
    for (int a = start; a < start + count; ++a)
        bitmap[static_cast<std::size_t>(a / 8)] |= static_cast<std::uint8_t>(1u << (a % 8));
}
} // namespace

void cmcIcfFile::SetImage(cmcEeprom& image)
{
    image_ = &image;
    const auto bytes = static_cast<std::size_t>((image.GetSize() + 7) / 8);
    expected_.assign(bytes, 0);
    loaded_.assign(bytes, 0);
}

void cmcIcfFile::SetModelWords(std::uint16_t word1, std::uint16_t word2)
{
    modelWord1_ = word1;
    modelWord2_ = word2;
}

void cmcIcfFile::SetComment(std::string_view comment)
{
    // A line end inside the comment would start a data line and make the file unreadable.
    comment_.assign(comment);
    std::replace_if(
        comment_.begin(), comment_.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
}

const char* cmcIcfFile::MessageKey(cmcIcfResult code)
{
    switch (code) {
    case cmcIcfResult::FileOpen:
        return "GI_Mess_FileErr_FileOpen";
    case cmcIcfResult::FileAccess:
        return "GI_Mess_FileErr_FileAccess";
    case cmcIcfResult::Model:
        return "GI_Mess_FileErr_Model";
    case cmcIcfResult::Extra:
        return "GI_Mess_FileErr_Extra";
    case cmcIcfResult::MapRev:
        return "GI_Mess_FileErr_MapRev";
    case cmcIcfResult::Format:
        return "GI_Mess_FileErr_Format";
    case cmcIcfResult::Coverage:
        return "GI_Mess_FileErr_Coverage";
    case cmcIcfResult::Data:
        return "GI_Mess_FileErr_Data";
    case cmcIcfResult::Newer:
        return "GI_Mess_FileErr_Newer";
    case cmcIcfResult::Ok:
        break;
    }
    return nullptr;
}

void cmcIcfFile::ShowFileResult(cmcIcfResult code)
{
    const char* key = MessageKey(code);
    if (!key)
        return;
    cmcGTex& texts = MainText();
    const std::string text = Format("%s\n\n%s", texts.GetMultiLineText("GI_Mess_FileErr_Headline").c_str(),
                                    texts.GetMultiLineText(key).c_str());
    cmcMessageBox(text, texts.GetText("GI_Sys_AppTitle"), cmcMbButtons::Ok, cmcMbIcon::Exclamation);
}

cmcIcfResult cmcIcfFile::WriteCloneFile(const std::string& path, const AddressRangeList& ranges)
{
    if (!image_)
        cmcFatalStop("cmcIcfFile: no image bound (WriteCloneFile).");
    const cmcIcfResult result = writeFile(path, ranges);
    ShowFileResult(result);
    return result;
}

cmcIcfResult cmcIcfFile::writeFile(const std::string& path, const AddressRangeList& ranges) const
{
    std::error_code ec;
    fs::path target(path);
    // Through a link, the file it names is replaced and the link stays.
    if (fs::is_symlink(target, ec)) {
        fs::path resolved = fs::canonical(target, ec);
        if (!ec)
            target = std::move(resolved);
    }
    const fs::file_status status = fs::status(target, ec);
    const bool replacing = fs::exists(status);
    if (replacing) {
        // Only a file that could be overwritten is replaced: never a folder or a device,
        // nor a file the user may not write.
        if (!fs::is_regular_file(status))
            return cmcIcfResult::FileOpen;
        if (!FilePtr(std::fopen(target.string().c_str(), "r+b")))
            return cmcIcfResult::FileOpen;
    }

    fs::path temporary;
    FilePtr file;
    for (int attempt = 0; attempt < 8 && !file; ++attempt) {
        temporary = temporarySibling(target);
        file.reset(std::fopen(temporary.string().c_str(), "wbx"));
        if (!file && errno != EEXIST)
            break;
    }
    if (!file)
        return cmcIcfResult::FileOpen;

    LimitedWriter out(file.get(), writeLimit_);
    out.Put(Format("%04X%04X", modelWord1_, modelWord2_));
    out.Put(lineEnd);
    out.Put("#Comment=" + comment_);
    out.Put(lineEnd);
    out.Put(Format("#MapRev=%d", mapRev_));
    out.Put(lineEnd);
    std::string line;
    for (const AddressRange& range : ranges) {
        if (out.Failed() || !image_->IsValidAddress(range.start) || !image_->IsValidAddress(range.end))
            break;
        for (int a = range.start; a <= range.end && !out.Failed();) {
            const int n = std::min(LineLength - a % LineLength, range.end - a + 1);
            line.assign(Format("%04X%02X", a, n));
            for (int i = 0; i < n; ++i) {
                const std::uint8_t b = image_->GetByte(a + i);
                line += hexDigits[b >> 4];
                line += hexDigits[b & 0x0F];
            }
            line += lineEnd;
            out.Put(line);
            a += n;
        }
    }
    bool complete = !out.Failed() && std::fflush(file.get()) == 0 && !std::ferror(file.get());
    complete = std::fclose(file.release()) == 0 && complete;

    if (complete && replacing)
        fs::permissions(temporary, fs::status(target, ec).permissions(), ec); // keep the old file's
    if (complete) {
        fs::rename(temporary, target, ec);
        complete = !ec;
    }
    if (!complete) {
        fs::remove(temporary, ec);
        return cmcIcfResult::FileAccess;
    }
    return cmcIcfResult::Ok;
}

cmcIcfResult cmcIcfFile::ReadCloneFile(const std::string& path, const AddressRangeList* ranges)
{
    if (!image_)
        cmcFatalStop("cmcIcfFile: no image bound (ReadCloneFile).");
    cmcEeprom before;
    before.CopyFrom(*image_);
    const cmcIcfResult result = readFile(path, ranges);
    if (result != cmcIcfResult::Ok)
        image_->CopyFrom(before); // same size: the array stays where it is
    ShowFileResult(result);
    return result;
}

void cmcIcfFile::ensureBitmaps()
{
    // The image may have been resized since it was bound.
    const auto bytes = static_cast<std::size_t>((image_->GetSize() + 7) / 8);
    if (loaded_.size() != bytes) {
        expected_.assign(bytes, 0);
        loaded_.assign(bytes, 0);
    }
}

void cmcIcfFile::markLoaded(int start, int count)
{
    markBits(loaded_, start, count);
}

cmcIcfResult cmcIcfFile::readFile(const std::string& path, const AddressRangeList* ranges)
{
    ensureBitmaps();
    std::fill(loaded_.begin(), loaded_.end(), std::uint8_t{0});
    mapRev_ = -1;

    const FilePtr file(std::fopen(path.c_str(), "rb"));
    if (!file)
        return cmcIcfResult::FileOpen;
    PieceReader reader(file.get());
    std::string line;
    if (!reader.Next(line))
        return reader.Failed() ? cmcIcfResult::FileOpen : cmcIcfResult::Format;
    if (const cmcIcfResult header = checkHeader(line); header != cmcIcfResult::Ok)
        return header;

    bool mapRevChecked = false;
    while (reader.Next(line)) {
        if (line.empty())
            continue;
        if (line[0] == '#') {
            // Remark line; only a map revision is taken, read from the ninth character on.
            if (line.find("MapRev=", 1) != std::string::npos)
                mapRev_ = line.size() > 8 ? leadingInteger(std::string_view(line).substr(8)) : 0;
            continue;
        }
        if (!mapRevChecked) {
            mapRevChecked = true;
            if (!mapRevCheck_ || !mapRevCheck_(mapRev_))
                return cmcIcfResult::MapRev;
        }
        if (const cmcIcfResult data = readDataLine(line); data != cmcIcfResult::Ok)
            return data;
    }
    if (reader.Failed())
        return cmcIcfResult::FileOpen;
    return ranges ? CheckCoverage(ranges) : cmcIcfResult::Ok;
}

cmcIcfResult cmcIcfFile::checkHeader(const std::string& line) const
{
    if (line.size() != 9 || line[8] != '\n' || !allHex(std::string_view(line).substr(0, 8)))
        return cmcIcfResult::Format;
    const int word1 = hexNumber(std::string_view(line).substr(0, 4));
    const int word2 = hexNumber(std::string_view(line).substr(4, 4));
    if (modelCheck_) {
        cmcIcfResult code = cmcIcfResult::Model;
        if (modelCheck_(word1, word2, code))
            return cmcIcfResult::Ok;
        return code == cmcIcfResult::Extra ? cmcIcfResult::Extra : cmcIcfResult::Model;
    }
    if (word1 != modelWord1_)
        return cmcIcfResult::Model;
    if (word2 != modelWord2_)
        return cmcIcfResult::Extra;
    return cmcIcfResult::Ok;
}

cmcIcfResult cmcIcfFile::readDataLine(std::string& line)
{
    if (line.back() == '\n')
        line.pop_back();
    const auto length = static_cast<int>(line.size());
    if (length < MinDataLineChars || length > MaxDataLineChars || !allHex(line))
        return cmcIcfResult::Format;
    const std::string_view digits(line);
    const int address = hexNumber(digits.substr(0, 4));
    const int count = hexNumber(digits.substr(4, 2));
    if (length != 6 + 2 * count)
        return cmcIcfResult::Format;
    // Runs are contiguous: the first and the last address decide.
    if (!image_->IsValidAddress(address) || !image_->IsValidAddress(address + count - 1))
        return cmcIcfResult::Data;
    for (int i = 0; i < count; ++i) {
        const auto at = static_cast<std::size_t>(6 + 2 * i);
        image_->SetByte(address + i, static_cast<std::uint8_t>(hexNumber(digits.substr(at, 2))));
    }
    markLoaded(address, count);
    return cmcIcfResult::Ok;
}

cmcIcfResult cmcIcfFile::CheckCoverage(const AddressRangeList* ranges)
{
    if (!ranges || !image_)
        return cmcIcfResult::Coverage;
    ensureBitmaps();
    std::fill(expected_.begin(), expected_.end(), std::uint8_t{0});
    for (const AddressRange& range : *ranges) {
        if (!image_->IsValidAddress(range.start) || !image_->IsValidAddress(range.end))
            break;
        markBits(expected_, range.start, range.end - range.start + 1);
    }
    if (expected_ == loaded_)
        return cmcIcfResult::Ok;
    for (std::size_t i = 0; i < loaded_.size(); ++i) {
        if ((loaded_[i] & ~expected_[i]) != 0)
            return cmcIcfResult::Data;
    }
    return cmcIcfResult::Coverage;
}
