#include "base/cmcGTex.h"

#include "base/cmcFatal.h"
#include "base/cmcText.h"

namespace {
constexpr std::size_t ChunkSize = 16 * 1024;
constexpr std::string_view EndOfOvl = "End_Of_Ovl";

// "#" followed by at least one character; "#" alone is no key line.
bool isKeyLine(const std::string& line)
{
    return line.size() >= 2 && line[0] == '#';
}
} // namespace

cmcGTex::cmcGTex() = default;
cmcGTex::~cmcGTex() = default;

void cmcGTex::reset()
{
    source_ = cmcGTexSource::None;
    fileName_.clear();
    lines_.clear();
    openTried_ = false;
    open_ = false;
    file_.reset();
    chunk_.clear();
    chunkStart_ = 0;
    chunkLength_ = 0;
    filePosition_ = -1;
    position_ = 0;
    scanPosition_ = 0;
    scanPending_ = true;
    keys_.clear();
    cache_.clear();
    cacheIndex_.clear();
    stats_ = {};
}

bool cmcGTex::SetFile(const std::string& fileName)
{
    reset();
    source_ = cmcGTexSource::File;
    fileName_ = fileName;
    return true;
}

bool cmcGTex::SetLines(std::vector<std::string> lines)
{
    if (source_ != cmcGTexSource::None)
        return false;
    reset();
    source_ = cmcGTexSource::Lines;
    lines_ = std::move(lines);
    open_ = true;
    return true;
}

void cmcGTex::fail(std::string_view key)
{
    cmcFatalStop(Format("GTEX Error !\nThe index '%s' was not found.", std::string(key).c_str()));
}

std::string cmcGTex::GetEntry(std::string_view key, int n)
{
    if (n < 0)
        fail(key);
    KeyRecord* record = findKey(key);
    if (!record)
        fail(key);

    int index = record->cursorIndex;
    position_ = record->cursorPosition;
    if (n < index) {
        index = 0;
        position_ = record->entry0;
    }
    for (; index <= n; ++index) {
        if (!readCachedLine(line_))
            fail(key);
    }
    // Only a complete read moves the cursor, so a failed read leaves the key as it was.
    record->cursorIndex = n + 1;
    record->cursorPosition = position_;
    return line_;
}

std::string cmcGTex::GetMultiLineText(std::string_view key)
{
    std::string text;
    for (int n = 0;; ++n) {
        std::string entry = GetEntry(key, n);
        if (!entry.empty() && entry[0] == '#')
            break;
        if (n > 0)
            text += '\n';
        text += entry;
    }
    return text;
}

bool cmcGTex::HasKey(std::string_view key)
{
    return findKey(key) != nullptr;
}

std::vector<std::string> cmcGTex::IndexedKeys() const
{
    std::vector<std::string> keys;
    keys.reserve(keys_.size());
    for (const KeyRecord& record : keys_)
        keys.push_back(record.key);
    return keys;
}

bool cmcGTex::ensureOpen()
{
    if (source_ != cmcGTexSource::File || openTried_)
        return open_;
    openTried_ = true;
    // Binary mode: the reader itself takes LF and CR LF as line ends, and file offsets are
    // exact byte positions on every platform.
    file_.reset(std::fopen(fileName_.c_str(), "rb"));
    if (!file_)
        return false;
    // Unbuffered: chunk_ is the only read-ahead.
    std::setvbuf(file_.get(), nullptr, _IONBF, 0);
    chunk_.resize(ChunkSize);
    open_ = true;
    // A byte-order mark written by some editors would hide a key on the first line.
    if (byteAt(0) == 0xEF && byteAt(1) == 0xBB && byteAt(2) == 0xBF)
        scanPosition_ = 3;
    return true;
}

cmcGTex::KeyRecord* cmcGTex::findKey(std::string_view key)
{
    if (!ensureOpen())
        return nullptr;
    int listPosition = 0;
    for (auto it = keys_.begin(); it != keys_.end(); ++it, ++listPosition) {
        if (it->key != key)
            continue;
        if (listPosition >= MoveToFrontPosition)
            keys_.splice(keys_.begin(), keys_, it); // iterators and addresses stay valid
        return &*it;
    }
    while (scanPending_) {
        KeyRecord* added = scanStep();
        if (added && added->key == key)
            return added;
    }
    return nullptr;
}

cmcGTex::KeyRecord* cmcGTex::scanStep()
{
    position_ = scanPosition_;
    if (!readLine(line_)) {
        scanPending_ = false;
        return nullptr;
    }
    scanPosition_ = position_;
    if (!isKeyLine(line_))
        return nullptr;
    KeyRecord& record = keys_.emplace_back();
    record.key = line_.substr(1);
    record.entry0 = position_;
    record.cursorIndex = 0;
    record.cursorPosition = position_;
    if (record.key == EndOfOvl)
        scanPending_ = false;
    return &record;
}

bool cmcGTex::readCachedLine(std::string& text)
{
    if (source_ != cmcGTexSource::File)
        return readLine(text);
    if (const auto found = cacheIndex_.find(position_); found != cacheIndex_.end()) {
        const auto line = found->second;
        text = line->text;
        position_ += line->length;
        cache_.splice(cache_.begin(), cache_, line);
        ++stats_.cacheHits;
        return true;
    }
    const std::int64_t offset = position_;
    if (!readLine(text))
        return false;
    if (cache_.size() >= CacheLines) {
        cacheIndex_.erase(cache_.back().offset);
        cache_.pop_back();
    }
    cache_.push_front(CachedLine{offset, position_ - offset, text});
    cacheIndex_[offset] = cache_.begin();
    return true;
}

bool cmcGTex::readLine(std::string& text)
{
    bool read = false;
    if (source_ == cmcGTexSource::File) {
        read = readFileLine(text);
    } else if (source_ == cmcGTexSource::Lines && position_ >= 0 &&
               position_ < static_cast<std::int64_t>(lines_.size())) {
        text = lines_[static_cast<std::size_t>(position_)];
        ++position_;
        read = true;
    }
    if (read)
        ++stats_.sourceReads;
    return read;
}

// One line as a text-mode read into the 8193-byte line buffer sees it: at most 8192
// characters, a CR LF pair counting as the one line end. A line too long for the buffer
// leaves its rest (and its line end) for the next read.
bool cmcGTex::readFileLine(std::string& text)
{
    text.clear();
    std::int64_t pos = position_;
    bool read = false;
    while (text.size() < MaxLineChars) {
        const int c = byteAt(pos);
        if (c < 0)
            break;
        read = true;
        if (c == '\n') {
            ++pos;
            break;
        }
        if (c == '\r' && byteAt(pos + 1) == '\n') {
            pos += 2;
            break;
        }
        text.push_back(static_cast<char>(c));
        ++pos;
    }
    position_ = pos;
    return read;
}

bool cmcGTex::fillChunk(std::int64_t position)
{
    chunkStart_ = position;
    chunkLength_ = 0;
    if (!file_ || position < 0)
        return false;
    if (position != filePosition_ && std::fseek(file_.get(), static_cast<long>(position), SEEK_SET) != 0) {
        filePosition_ = -1;
        return false;
    }
    const std::size_t got = std::fread(chunk_.data(), 1, chunk_.size(), file_.get());
    if (std::ferror(file_.get())) {
        std::clearerr(file_.get());
        filePosition_ = -1;
        return false;
    }
    chunkLength_ = static_cast<std::int64_t>(got);
    filePosition_ = position + chunkLength_;
    return got > 0;
}
