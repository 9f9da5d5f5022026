#include "platform/cmcPortMap.h"

namespace {
constexpr auto root = cmcSettingsRoot::LocalMachine;

std::string ValueName(int number)
{
    return "COM" + std::to_string(number);
}
} // namespace

std::string cmcPortMap::DeviceOf(int number) const
{
    if (number < 1 || number > MaxPort)
        return {};
    return store_.ReadText(root, KeyPath, ValueName(number)).value_or("");
}

int cmcPortMap::NumberOf(const std::string& device) const
{
    if (device.empty())
        return 0;
    for (int n = 1; n <= MaxPort; ++n)
        if (DeviceOf(n) == device)
            return n;
    return 0;
}

std::vector<std::pair<int, std::string>> cmcPortMap::Entries() const
{
    std::vector<std::pair<int, std::string>> entries;
    for (int n = 1; n <= MaxPort; ++n)
        if (std::string device = DeviceOf(n); !device.empty())
            entries.emplace_back(n, std::move(device));
    return entries;
}

int cmcPortMap::Assign(const std::string& device, const std::function<bool(const std::string&)>& present)
{
    if (device.empty())
        return 0;
    if (const int known = NumberOf(device))
        return known;
    int number = 0;
    for (int n = 1; n <= MaxPort && number == 0; ++n)
        if (DeviceOf(n).empty())
            number = n;
    // Full: a number whose device is gone (a pseudo-terminal of an earlier run) is reused.
    for (int n = 1; n <= MaxPort && number == 0; ++n)
        if (!present(DeviceOf(n)))
            number = n;
    if (number == 0 || !store_.WriteText(root, KeyPath, ValueName(number), device))
        return 0;
    store_.Flush();
    return number;
}
