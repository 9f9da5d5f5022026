#include "base/cmcMemorySettingsStore.h"

std::optional<std::int32_t> cmcMemorySettingsStore::ReadInteger(cmcSettingsRoot root, const std::string& keyPath,
                                                                const std::string& name)
{
    const auto key = keys_.find({root, keyPath});
    if (key == keys_.end())
        return std::nullopt;
    const auto value = key->second.find(name);
    if (value == key->second.end() || !std::holds_alternative<std::int32_t>(value->second))
        return std::nullopt;
    return std::get<std::int32_t>(value->second);
}

std::optional<std::string> cmcMemorySettingsStore::ReadText(cmcSettingsRoot root, const std::string& keyPath,
                                                            const std::string& name)
{
    const auto key = keys_.find({root, keyPath});
    if (key == keys_.end())
        return std::nullopt;
    const auto value = key->second.find(name);
    if (value == key->second.end() || !std::holds_alternative<std::string>(value->second))
        return std::nullopt;
    return std::get<std::string>(value->second);
}

bool cmcMemorySettingsStore::WriteInteger(cmcSettingsRoot root, const std::string& keyPath,
                                          const std::string& name, std::int32_t value)
{
    keys_[{root, keyPath}][name] = value;
    return true;
}

bool cmcMemorySettingsStore::WriteText(cmcSettingsRoot root, const std::string& keyPath, const std::string& name,
                                       const std::string& value)
{
    keys_[{root, keyPath}][name] = value;
    return true;
}

bool cmcMemorySettingsStore::DeleteKey(cmcSettingsRoot root, const std::string& keyPath, const std::string& subkey)
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
    std::erase_if(keys_, [&](const auto& entry) { return within(entry.first, doomed); });
    return true;
}
