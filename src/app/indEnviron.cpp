#include "app/indEnviron.h"

#include "base/cmcText.h"
#include "platform/cmcInstanceGuard.h"

#include <algorithm>

namespace {
constexpr const char* kMakerWordDefault = "mintaro";
constexpr const char* kEditForms = "EditForm Position";
constexpr const char* kPasswords = "Password";
constexpr const char* kRecent = "Recent File List";

// How a stored integer is accepted on load.
std::int32_t asStored(std::int32_t v) { return v; }
std::int32_t comPortRange(std::int32_t v) { return std::clamp(v, 1, 256); }
std::int32_t positiveAsOne(std::int32_t v) { return v > 0 ? 1 : 0; }
std::int32_t nonZeroAsOne(std::int32_t v) { return v != 0 ? 1 : 0; }
std::int32_t fontPercentRange(std::int32_t v) { return std::clamp(v, 25, 1000); }
std::int32_t printerFontRange(std::int32_t v) { return std::clamp(v, 8, 12); }

// One stored setting: an integer (with its load rule) or a text.
struct Setting {
    const char* subkey;
    const char* name;
    std::int32_t indEnviron::*integer;
    std::string indEnviron::*text;
    std::int32_t (*accept)(std::int32_t);
};

// In store order; the recent list is stored after the first group.
const Setting kGlobalSettings[] = {
    {"Global", "BBT", &indEnviron::marker, nullptr, asStored},
    {"Global", "ComPort", &indEnviron::comPort, nullptr, comPortRange},
    {"Global", "ComSpeedHigh", &indEnviron::highSpeed, nullptr, positiveAsOne},
    {"Global", "Current Directory", nullptr, &indEnviron::currentDirectory, nullptr},
    {"Global", "IpAddress", nullptr, &indEnviron::ipAddress, nullptr},
    {"Global", "TcpipPort", &indEnviron::tcpPort, nullptr, asStored},
    {"Global", "PortSelect", &indEnviron::portSelect, nullptr, asStored},
};
const Setting kViewSettings[] = {
    {"View Option", "FontSize Percentage", &indEnviron::fontSizePercentage, nullptr, fontPercentRange},
    {"View Option", "Toolbar Visible", &indEnviron::toolBarVisible, nullptr, nonZeroAsOne},
    {"View Option", "FontSize Printer", &indEnviron::printerFontSize, nullptr, printerFontRange},
    {"Window Position", "Left", &indEnviron::windowLeft, nullptr, asStored},
    {"Window Position", "Top", &indEnviron::windowTop, nullptr, asStored},
    {"Window Position", "Width", &indEnviron::windowWidth, nullptr, asStored},
    {"Window Position", "Height", &indEnviron::windowHeight, nullptr, asStored},
    {"Window Position", "SplitterV", &indEnviron::splitter, nullptr, asStored},
    {"Setup", "ModelType", &indEnviron::modelType, nullptr, asStored},
    {"Setup", "Language", &indEnviron::language, nullptr, asStored},
};

std::string recentName(int i) { return Format("Recent%d", i); }

// The five stored values of an edit window's placement, by suffix.
constexpr const char* kFormSuffixes[] = {"Left", "Top", "Width", "Height", "WindowState"};
int cmcFormPosition::*const kFormFields[] = {&cmcFormPosition::left, &cmcFormPosition::top,
                                             &cmcFormPosition::width, &cmcFormPosition::height,
                                             &cmcFormPosition::windowState};
} // namespace

cmcArea DefaultWindowPlacement(const cmcArea& work)
{
    cmcArea a;
    a.width = std::min(static_cast<int>(0.9 * work.width), 1024);
    a.height = std::min(static_cast<int>(0.9 * work.height), 768);
    a.left = work.left + (work.width - a.width) / 2;
    a.top = static_cast<int>(0.3 * (work.height - a.height) + work.top);
    return a;
}

indEnviron::indEnviron(const std::string& mutexName, const std::string& settingsRoot, cmcSettingsStore& store,
                       const cmcArea& primaryWorkArea)
    : mutexName_(mutexName), settingsRoot_(settingsRoot), store_(store), primaryWorkArea_(primaryWorkArea),
      guard_(std::make_unique<cmcInstanceGuard>(mutexName))
{
    ResetSettings();
    firstInstance_ = guard_->IsFirstInstance();
    if (firstInstance_)
        LoadSettings();
}

indEnviron::~indEnviron()
{
    if (firstInstance_ && marker == ValidMarker)
        SaveSettings();
}

void indEnviron::ResetSettings()
{
    comPort = 1;
    highSpeed = 1;
    marker = ValidMarker;
    currentDirectory.clear();
    ipAddress = "192.168.0.11";
    tcpPort = 41000;
    portSelect = 0;
    clonePassword.clear();
    recent.Clear();
    fontSizePercentage = 80;
    toolBarVisible = 1;
    printerFontSize = 10;
    splitter = 200;
    modelType = 0;
    language = 0;
    makerWord = kMakerWordDefault;
    adjustReadPassword.clear();
    const cmcArea w = DefaultWindowPlacement(primaryWorkArea_);
    windowLeft = w.left;
    windowTop = w.top;
    windowWidth = w.width;
    windowHeight = w.height;
}

void indEnviron::LoadSettings()
{
    if (!readAll() || marker != ValidMarker)
        ResetSettings();
}

bool indEnviron::readAll()
{
    const auto read = [this](const Setting& s) {
        if (s.text) {
            this->*s.text = store_.ReadText(cmcSettingsRoot::CurrentUser, KeyPath(s.subkey), s.name).value_or("");
            return true;
        }
        const auto value = store_.ReadInteger(cmcSettingsRoot::CurrentUser, KeyPath(s.subkey), s.name);
        if (!value)
            return false;
        this->*s.integer = s.accept(*value);
        return true;
    };
    for (const Setting& s : kGlobalSettings)
        if (!read(s))
            return false;
    recent.Clear();
    for (int i = 0; i < RecentCapacity; ++i)
        recent.AddLast(store_.ReadText(cmcSettingsRoot::CurrentUser, KeyPath(kRecent), recentName(i)).value_or(""));
    for (const Setting& s : kViewSettings)
        if (!read(s))
            return false;

    const std::string maker =
        store_.ReadText(cmcSettingsRoot::CurrentUser, KeyPath(kPasswords), "MakerReserveMode").value_or("");
    makerWord = maker.empty() ? kMakerWordDefault : maker == "00" ? "" : HexDecodeText(maker);
    const std::string adjust =
        store_.ReadText(cmcSettingsRoot::CurrentUser, KeyPath(kPasswords), "AdjustMode").value_or("");
    adjustReadPassword = adjust.empty() || adjust == "00" ? "" : HexDecodeText(adjust);
    return true;
}

void indEnviron::SaveSettings()
{
    writeAll(); // a failed write stops the saving; what was written stays written
    store_.Flush();
}

bool indEnviron::writeAll()
{
    const auto write = [this](const Setting& s) {
        const std::string key = KeyPath(s.subkey);
        return s.text ? store_.WriteText(cmcSettingsRoot::CurrentUser, key, s.name, this->*s.text)
                      : store_.WriteInteger(cmcSettingsRoot::CurrentUser, key, s.name, this->*s.integer);
    };
    for (const Setting& s : kGlobalSettings)
        if (!write(s))
            return false;
    for (int i = 0; i < RecentCapacity; ++i)
        if (!store_.WriteText(cmcSettingsRoot::CurrentUser, KeyPath(kRecent), recentName(i), recent.DisplayName(i, "")))
            return false;
    for (const Setting& s : kViewSettings)
        if (!write(s))
            return false;
    for (const cmcFormPosition& p : positions_)
        for (std::size_t k = 0; k < std::size(kFormSuffixes); ++k)
            if (!store_.WriteInteger(cmcSettingsRoot::CurrentUser, KeyPath(kEditForms),
                                     p.name + "_" + kFormSuffixes[k], p.*kFormFields[k]))
                return false;
    const auto hexOrZeros = [](const std::string& word) { return word.empty() ? std::string("00") : HexEncodeText(word); };
    return store_.WriteText(cmcSettingsRoot::CurrentUser, KeyPath(kPasswords), "MakerReserveMode", hexOrZeros(makerWord)) &&
           store_.WriteText(cmcSettingsRoot::CurrentUser, KeyPath(kPasswords), "AdjustMode",
                            hexOrZeros(adjustReadPassword));
}

cmcFormPosition* indEnviron::FindFormPosition(const std::string& name)
{
    for (cmcFormPosition& p : positions_)
        if (p.name == name)
            return &p;
    if (marker != ValidMarker)
        return nullptr;
    cmcFormPosition stored;
    stored.name = name;
    for (std::size_t k = 0; k < std::size(kFormSuffixes); ++k) {
        const auto value =
            store_.ReadInteger(cmcSettingsRoot::CurrentUser, KeyPath(kEditForms), name + "_" + kFormSuffixes[k]);
        if (!value)
            return nullptr;
        stored.*kFormFields[k] = *value;
    }
    positions_.push_front(std::move(stored));
    return &positions_.front();
}

cmcFormPosition& indEnviron::StoreFormPosition(const std::string& name, int left, int top, int width, int height,
                                               int topRow, int leftColumn, int currentRow, int currentColumn,
                                               int windowState, int open)
{
    auto it = std::find_if(positions_.begin(), positions_.end(),
                           [&](const cmcFormPosition& p) { return p.name == name; });
    if (it == positions_.end()) {
        positions_.push_front(cmcFormPosition{});
        positions_.front().name = name;
    } else {
        positions_.splice(positions_.begin(), positions_, it);
    }
    cmcFormPosition& p = positions_.front();
    p.left = left;
    p.top = top;
    p.width = width;
    p.height = height;
    p.topRow = topRow;
    p.leftColumn = leftColumn;
    p.currentRow = currentRow;
    p.currentColumn = currentColumn;
    p.windowState = windowState;
    p.open = open;
    return p;
}

std::int32_t indEnviron::ReadRegInteger(cmcSettingsRoot root, const std::string& keyPath, const std::string& name)
{
    return store_.ReadInteger(root, keyPath, name).value_or(-1);
}

void indEnviron::WriteRegInteger(cmcSettingsRoot root, const std::string& keyPath, std::int32_t value,
                                 const std::string& name)
{
    store_.WriteInteger(root, keyPath, name, value);
}

void indEnviron::DeleteRegKey(cmcSettingsRoot root, const std::string& keyPath, const std::string& subkey)
{
    store_.DeleteKey(root, keyPath, subkey);
}
