#include "platform/cmcPortDiscovery.h"

#include "base/cmcGTex.h"
#include "base/cmcText.h"
#include "base/cmcTextTables.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QSerialPortInfo>
#include <QStyle>

#include <sys/stat.h>

#include <algorithm>

namespace {
int LeadingNumber(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    long long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
        value = std::min<long long>(value * 10 + (text[i] - '0'), 1'000'000'000);
    return static_cast<int>(value);
}

QString Q(const std::string& s)
{
    return QString::fromStdString(s);
}

std::string Base(const std::string& path)
{
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool StartsWith(std::string_view text, std::string_view prefix)
{
    return text.substr(0, prefix.size()) == prefix;
}

// Numbering order: the built-in UARTs first, then USB adaptors, then modems, other ports,
// and the stable by-id names last.
int Rank(const std::string& path)
{
    const std::string base = Base(path);
    if (path.find("/serial/by-id/") != std::string::npos)
        return 4;
    if (StartsWith(base, "ttyS"))
        return 0;
    if (StartsWith(base, "ttyUSB"))
        return 1;
    if (StartsWith(base, "ttyACM"))
        return 2;
    return 3;
}

std::vector<std::string> Entries(const QString& folder, const QStringList& patterns)
{
    std::vector<std::string> paths;
    const QDir dir(folder);
    for (const QString& name : dir.entryList(patterns, QDir::Files | QDir::System | QDir::NoDotAndDotDot))
        paths.push_back(dir.filePath(name).toStdString());
    return paths;
}

void ReplaceItemsWhenChanged(QComboBox& box, const std::vector<std::string>& lines)
{
    bool same = box.count() == static_cast<int>(lines.size());
    for (int i = 0; same && i < box.count(); ++i)
        same = box.itemText(i) == Q(lines[static_cast<std::size_t>(i)]);
    if (same)
        return;
    box.clear();
    for (const std::string& line : lines)
        box.addItem(Q(line));
}
} // namespace

int PortNumberOf(std::string_view text)
{
    return StartsWith(text, "COM") ? LeadingNumber(text.substr(3)) : LeadingNumber(text);
}

bool NaturalLess(std::string_view a, std::string_view b)
{
    std::size_t i = 0;
    std::size_t j = 0;
    const auto digit = [](char c) { return c >= '0' && c <= '9'; };
    while (i < a.size() && j < b.size()) {
        if (digit(a[i]) && digit(b[j])) {
            std::size_t ei = i;
            std::size_t ej = j;
            while (ei < a.size() && digit(a[ei]))
                ++ei;
            while (ej < b.size() && digit(b[ej]))
                ++ej;
            // Compare the runs as numbers: without leading zeros, the longer is larger.
            std::string_view ra = a.substr(i, ei - i);
            std::string_view rb = b.substr(j, ej - j);
            while (ra.size() > 1 && ra.front() == '0')
                ra.remove_prefix(1);
            while (rb.size() > 1 && rb.front() == '0')
                rb.remove_prefix(1);
            if (ra.size() != rb.size())
                return ra.size() < rb.size();
            if (ra != rb)
                return ra < rb;
            i = ei;
            j = ej;
        } else {
            if (a[i] != b[j])
                return a[i] < b[j];
            ++i;
            ++j;
        }
    }
    return a.size() - i < b.size() - j;
}

bool IsDevicePresent(const std::string& path)
{
    return !path.empty() && QFileInfo::exists(Q(path));
}

cmcPortDiscovery::Source cmcPortDiscovery::SystemSource()
{
    Source source;
    source.systemPorts = [] {
        std::vector<cmcSerialDeviceInfo> ports;
        for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts())
            ports.push_back({info.systemLocation().toStdString(), info.description().toStdString()});
        return ports;
    };
    return source;
}

cmcPortDiscovery::cmcPortDiscovery(cmcSettingsStore& store, Source source)
    : map_(store), source_(std::move(source))
{
}

void cmcPortDiscovery::scan()
{
    if (scanned_)
        return;
    scanned_ = true;
    system_ = source_.systemPorts ? source_.systemPorts() : std::vector<cmcSerialDeviceInfo>{};
    std::vector<std::string> found;
    for (const cmcSerialDeviceInfo& info : system_)
        found.push_back(info.path);
    // ttyS* only through the enumeration: most of those nodes have no UART behind them.
    for (std::string& path :
         Entries(Q(source_.devRoot), {QStringLiteral("ttyUSB*"), QStringLiteral("ttyACM*")}))
        found.push_back(std::move(path));
    for (std::string& path : Entries(Q(source_.devRoot + "/serial/by-id"), {}))
        found.push_back(std::move(path));
    std::erase_if(found, [](const std::string& path) { return !IsDevicePresent(path); });
    std::sort(found.begin(), found.end(), [](const std::string& a, const std::string& b) {
        const int ra = Rank(a);
        const int rb = Rank(b);
        return ra != rb ? ra < rb : NaturalLess(a, b);
    });
    found.erase(std::unique(found.begin(), found.end()), found.end());
    for (const std::string& path : found)
        map_.Assign(path, IsDevicePresent);
    devices_ = std::move(found);
}

std::vector<int> cmcPortDiscovery::ListDevicePorts()
{
    scan();
    std::vector<int> numbers;
    for (const auto& [number, device] : map_.Entries())
        if (IsDevicePresent(device))
            numbers.push_back(number);
    return numbers;
}

std::vector<std::string> cmcPortDiscovery::ListRegistryPorts()
{
    std::vector<std::string> texts;
    for (const int number : ListDevicePorts())
        texts.push_back(std::to_string(number));
    return texts;
}

std::vector<std::string> cmcPortDiscovery::ListPortDescriptions(const std::vector<int>& numbers)
{
    scan();
    std::vector<int> sorted = numbers;
    std::sort(sorted.begin(), sorted.end());
    sorted.erase(std::unique(sorted.begin(), sorted.end()), sorted.end());
    std::vector<std::string> lines;
    for (const int number : sorted) {
        const std::string device = map_.DeviceOf(number);
        if (IsDevicePresent(device))
            lines.push_back(std::to_string(number) + ": " + describe(device) + " (" + device + ")");
    }
    return lines;
}

std::string cmcPortDiscovery::describe(const std::string& device) const
{
    const std::string target = QFileInfo(Q(device)).canonicalFilePath().toStdString();
    for (const std::string& path : {device, target})
        for (const cmcSerialDeviceInfo& info : system_)
            if (info.path == path && !TrimBlanks(info.description).empty())
                return TrimBlanks(info.description);
    if (device.find("/serial/by-id/") != std::string::npos)
        return Base(device);
    return MainText().GetText("GI_AppInd_Port_Generic");
}

int cmcPortDiscovery::AssignDevicePath(const std::string& path)
{
    struct stat st {};
    if (path.empty() || path.front() != '/' || ::stat(path.c_str(), &st) != 0 || !S_ISCHR(st.st_mode))
        return 0;
    return map_.Assign(path, IsDevicePresent);
}

int cmcPortDiscovery::NumberOfChoice(std::string_view text)
{
    const std::string trimmed = TrimBlanks(text);
    if (!trimmed.empty() && trimmed.front() == '/')
        return AssignDevicePath(trimmed);
    return PortNumberOf(trimmed);
}

void cmcPortDiscovery::FillPortChoice(QComboBox& box)
{
    const int remembered = PortNumberOf(box.currentText().toStdString());
    ReplaceItemsWhenChanged(box, ListPortDescriptions(ListDevicePorts()));
    for (int i = 0; i < box.count(); ++i) {
        if (PortNumberOf(box.itemText(i).toStdString()) == remembered) {
            box.setCurrentIndex(i);
            break;
        }
    }
    const QFontMetrics metrics = box.view()->fontMetrics();
    int widest = 0;
    for (int i = 0; i < box.count(); ++i)
        widest = std::max(widest, metrics.horizontalAdvance(box.itemText(i)));
    int width = widest + metrics.horizontalAdvance(QStringLiteral("WW"));
    if (box.count() > box.maxVisibleItems())
        width += box.style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    box.view()->setMinimumWidth(width);
}

void cmcPortDiscovery::FillPlainPortChoice(QComboBox& box)
{
    const QString text = box.currentText();
    ReplaceItemsWhenChanged(box, ListRegistryPorts());
    if (box.isEditable())
        box.setEditText(text);
    else if (const int i = box.findText(text); i >= 0)
        box.setCurrentIndex(i);
}

std::vector<std::string> ListRegistryPorts()
{
    return cmcPortDiscovery(cmcSettings()).ListRegistryPorts();
}

std::vector<int> ListDevicePorts()
{
    return cmcPortDiscovery(cmcSettings()).ListDevicePorts();
}

std::vector<std::string> ListPortDescriptions(const std::vector<int>& numbers)
{
    return cmcPortDiscovery(cmcSettings()).ListPortDescriptions(numbers);
}

void FillPortChoice(QComboBox& box)
{
    cmcPortDiscovery(cmcSettings()).FillPortChoice(box);
}

void FillPlainPortChoice(QComboBox& box)
{
    cmcPortDiscovery(cmcSettings()).FillPlainPortChoice(box);
}
