#include "platform/cmcIniSettingsStore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cstdio>
#include <string_view>

namespace {
// A settings file is a few kilobytes; anything far larger is not one of ours.
constexpr qint64 maxFileSize = 16 * 1024 * 1024;

constexpr std::string_view currentUserName = "CurrentUser";
constexpr std::string_view localMachineName = "LocalMachine";

bool isControl(char c)
{
    const auto byte = static_cast<unsigned char>(c);
    return byte < 0x20 || byte == 0x7f;
}

bool hasControl(std::string_view text)
{
    for (const char c : text)
        if (isControl(c))
            return true;
    return false;
}

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

void appendQuoted(QByteArray& out, std::string_view text)
{
    out += '"';
    for (const char c : text) {
        switch (c) {
        case '\\':
            out += "\\\\";
            break;
        case '"':
            out += "\\\"";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            if (isControl(c)) {
                char escaped[5];
                std::snprintf(escaped, sizeof escaped, "\\x%02x", static_cast<unsigned char>(c));
                out += escaped;
            } else {
                out += c; // bytes of 0x80 and above pass as they are (UTF-8)
            }
        }
    }
    out += '"';
}

// Reads a quoted text starting at line[pos] == '"'; leaves pos after the closing quote.
// Returns an error text, empty on success.
std::string readQuoted(std::string_view line, std::size_t& pos, std::string& text)
{
    if (pos >= line.size() || line[pos] != '"')
        return "a quoted text was expected";
    ++pos;
    text.clear();
    while (pos < line.size()) {
        const char c = line[pos++];
        if (c == '"')
            return {};
        if (c != '\\') {
            text += c;
            continue;
        }
        if (pos >= line.size())
            break;
        const char e = line[pos++];
        switch (e) {
        case '\\':
            text += '\\';
            break;
        case '"':
            text += '"';
            break;
        case 'n':
            text += '\n';
            break;
        case 'r':
            text += '\r';
            break;
        case 't':
            text += '\t';
            break;
        case 'x': {
            const int high = pos < line.size() ? hexDigit(line[pos]) : -1;
            const int low = pos + 1 < line.size() ? hexDigit(line[pos + 1]) : -1;
            if (high < 0 || low < 0)
                return "\\x needs two hexadecimal digits";
            text += static_cast<char>(high * 16 + low);
            pos += 2;
            break;
        }
        default:
            return std::string("unknown escape \\") + e;
        }
    }
    return "the closing quote is missing";
}

std::string_view trimBlanks(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r'))
        text.remove_suffix(1);
    return text;
}

// "dword:" and one to eight hexadecimal digits, the 32 bits of the integer.
std::optional<std::int32_t> readDword(std::string_view text)
{
    constexpr std::string_view prefix = "dword:";
    if (!text.starts_with(prefix))
        return std::nullopt;
    text.remove_prefix(prefix.size());
    if (text.empty() || text.size() > 8)
        return std::nullopt;
    std::uint32_t bits = 0;
    for (const char c : text) {
        const int digit = hexDigit(c);
        if (digit < 0)
            return std::nullopt;
        bits = bits * 16 + static_cast<std::uint32_t>(digit);
    }
    return static_cast<std::int32_t>(bits);
}
} // namespace

cmcIniSettingsStore::cmcIniSettingsStore(QString filePath) : filePath_(std::move(filePath))
{
    load();
}

void cmcIniSettingsStore::load()
{
    const QFileInfo info(filePath_);
    if (!info.exists())
        return;
    QFile file(filePath_);
    if (!info.isFile() || info.size() > maxFileSize || !file.open(QIODevice::ReadOnly)) {
        readable_ = false;
        problems_.push_back("the file cannot be read");
        return;
    }
    const QByteArray text = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        readable_ = false;
        problems_.push_back("the file cannot be read");
        return;
    }
    parse(text);
}

void cmcIniSettingsStore::parse(const QByteArray& text)
{
    std::string_view rest(text.constData(), static_cast<std::size_t>(text.size()));
    if (rest.starts_with("\xEF\xBB\xBF")) // a byte order mark left by an editor
        rest.remove_prefix(3);
    std::map<std::string, Value>* section = nullptr;
    bool skipping = false; // after a section header that was reported
    int lineNumber = 0;
    const auto problem = [&](const std::string& reason) {
        problems_.push_back("line " + std::to_string(lineNumber) + ": " + reason);
    };
    while (!rest.empty()) {
        const std::size_t end = rest.find('\n');
        const std::string_view line = trimBlanks(rest.substr(0, end));
        rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
        ++lineNumber;
        if (line.empty() || line.front() == ';' || line.front() == '#')
            continue;

        if (line.front() == '[') {
            section = nullptr;
            skipping = true;
            if (line.back() != ']') {
                problem("a section must end with ]; its values are skipped");
                continue;
            }
            const std::string_view inner = line.substr(1, line.size() - 2);
            const std::size_t split = inner.find('\\');
            const std::string_view rootName = inner.substr(0, split);
            cmcSettingsRoot root;
            if (rootName == currentUserName) {
                root = cmcSettingsRoot::CurrentUser;
            } else if (rootName == localMachineName) {
                root = cmcSettingsRoot::LocalMachine;
            } else {
                problem("unknown root \"" + std::string(rootName) + "\"; the section is skipped");
                continue;
            }
            const std::string path(split == std::string_view::npos ? std::string_view()
                                                                   : inner.substr(split + 1));
            section = &keys_[{root, path}];
            skipping = false;
            continue;
        }

        std::size_t pos = 0;
        std::string name;
        if (const std::string error = readQuoted(line, pos, name); !error.empty()) {
            problem(error);
            continue;
        }
        const std::string_view afterName = trimBlanks(line.substr(pos));
        if (afterName.empty() || afterName.front() != '=') {
            problem("= is missing after the value name");
            continue;
        }
        const std::string_view data = trimBlanks(afterName.substr(1));
        Value value;
        if (!data.empty() && data.front() == '"') {
            std::size_t textPos = 0;
            std::string valueText;
            if (const std::string error = readQuoted(data, textPos, valueText); !error.empty()) {
                problem(error);
                continue;
            }
            if (textPos != data.size()) {
                problem("unexpected characters after the text");
                continue;
            }
            value = std::move(valueText);
        } else if (const auto integer = readDword(data)) {
            value = *integer;
        } else {
            problem("the value is neither a quoted text nor dword:<hex digits>");
            continue;
        }
        if (!section) {
            if (!skipping)
                problem("a value outside a section is skipped");
            continue;
        }
        (*section)[name] = std::move(value); // a later line of the same name wins
    }
}

QByteArray cmcIniSettingsStore::Serialise() const
{
    QByteArray out = "; Torvane settings. Integers are dword:<8 hexadecimal digits>, texts are quoted.\n";
    for (const auto& [key, values] : keys_) {
        out += "\n[";
        out += key.first == cmcSettingsRoot::CurrentUser ? currentUserName.data() : localMachineName.data();
        if (!key.second.empty()) {
            out += '\\';
            out += QByteArray::fromStdString(key.second);
        }
        out += "]\n";
        for (const auto& [name, value] : values) {
            appendQuoted(out, name);
            out += '=';
            if (const auto* integer = std::get_if<std::int32_t>(&value)) {
                char digits[16];
                std::snprintf(digits, sizeof digits, "dword:%08x", static_cast<unsigned>(*integer));
                out += digits;
            } else {
                appendQuoted(out, std::get<std::string>(value));
            }
            out += '\n';
        }
    }
    return out;
}

bool cmcIniSettingsStore::Flush()
{
    if (!readable_)
        return false;
    if (!dirty_)
        return true;
    const QFileInfo info(filePath_);
    if (!QDir().mkpath(info.absolutePath()))
        return false;
    if (!problems_.empty() && info.exists()) {
        // Lines that could not be read are about to be dropped: keep the old file aside.
        const QString bad = filePath_ + QStringLiteral(".bad");
        QFile::remove(bad);
        QFile::copy(filePath_, bad);
    }
    QSaveFile file(filePath_);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const QByteArray text = Serialise();
    if (file.write(text) != text.size() || !file.commit())
        return false;
    problems_.clear();
    dirty_ = false;
    return true;
}

const cmcIniSettingsStore::Value* cmcIniSettingsStore::find(cmcSettingsRoot root, const std::string& keyPath,
                                                            const std::string& name) const
{
    const auto key = keys_.find({root, keyPath});
    if (key == keys_.end())
        return nullptr;
    const auto value = key->second.find(name);
    return value == key->second.end() ? nullptr : &value->second;
}

std::optional<std::int32_t> cmcIniSettingsStore::ReadInteger(cmcSettingsRoot root, const std::string& keyPath,
                                                             const std::string& name)
{
    const Value* value = find(root, keyPath, name);
    if (!value || !std::holds_alternative<std::int32_t>(*value))
        return std::nullopt;
    return std::get<std::int32_t>(*value);
}

std::optional<std::string> cmcIniSettingsStore::ReadText(cmcSettingsRoot root, const std::string& keyPath,
                                                         const std::string& name)
{
    const Value* value = find(root, keyPath, name);
    if (!value || !std::holds_alternative<std::string>(*value))
        return std::nullopt;
    return std::get<std::string>(*value);
}

bool cmcIniSettingsStore::write(cmcSettingsRoot root, const std::string& keyPath, const std::string& name,
                                Value value)
{
    // The key path stands on a line of its own in the file.
    if (hasControl(keyPath))
        return false;
    auto& values = keys_[{root, keyPath}];
    const auto [slot, inserted] = values.try_emplace(name, value);
    if (inserted || slot->second != value) {
        slot->second = std::move(value);
        dirty_ = true;
    }
    return true;
}

bool cmcIniSettingsStore::WriteInteger(cmcSettingsRoot root, const std::string& keyPath,
                                       const std::string& name, std::int32_t value)
{
    return write(root, keyPath, name, value);
}

bool cmcIniSettingsStore::WriteText(cmcSettingsRoot root, const std::string& keyPath, const std::string& name,
                                    const std::string& value)
{
    return write(root, keyPath, name, value);
}

bool cmcIniSettingsStore::DeleteKey(cmcSettingsRoot root, const std::string& keyPath,
                                    const std::string& subkey)
{
    const auto within = [root](const Key& key, const std::string& path) {
        return key.first == root && (key.second == path || key.second.starts_with(path + "\\"));
    };
    bool parentExists = false;
    for (const auto& entry : keys_)
        parentExists = parentExists || within(entry.first, keyPath);
    if (!parentExists)
        return false;
    const std::string doomed = keyPath + "\\" + subkey;
    if (std::erase_if(keys_, [&](const auto& entry) { return within(entry.first, doomed); }) > 0)
        dirty_ = true;
    return true;
}
