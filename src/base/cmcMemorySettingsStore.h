#pragma once
// A settings store held in memory, for tests and for runs that must not touch the user's
// settings. Integers and texts are kept apart, so an integer read of a text value fails.
#include "base/cmcSettingsStore.h"

#include <map>
#include <variant>

class cmcMemorySettingsStore final : public cmcSettingsStore {
public:
    using Value = std::variant<std::int32_t, std::string>;

    std::optional<std::int32_t> ReadInteger(cmcSettingsRoot root, const std::string& keyPath,
                                            const std::string& name) override;
    std::optional<std::string> ReadText(cmcSettingsRoot root, const std::string& keyPath,
                                        const std::string& name) override;
    bool WriteInteger(cmcSettingsRoot root, const std::string& keyPath, const std::string& name,
                      std::int32_t value) override;
    bool WriteText(cmcSettingsRoot root, const std::string& keyPath, const std::string& name,
                   const std::string& value) override;
    bool DeleteKey(cmcSettingsRoot root, const std::string& keyPath, const std::string& subkey) override;
    bool Flush() override { return true; }

    using Key = std::pair<cmcSettingsRoot, std::string>;
    // Every key with its values; for tests that look at what was written.
    [[nodiscard]] const std::map<Key, std::map<std::string, Value>>& Keys() const { return keys_; }

private:
    std::map<Key, std::map<std::string, Value>> keys_;
};
