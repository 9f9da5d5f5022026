#pragma once
// The hierarchical key-value store that holds the program's settings: key paths such as
// "Software\Zelk\Torvane (NXDN)\Global" (backslash-separated), named values that are
// 32-bit integers or texts. The program uses the native store of its platform; tests use
// cmcMemorySettingsStore or a store in a temporary folder.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

enum class cmcSettingsRoot { CurrentUser, LocalMachine };

class cmcSettingsStore {
public:
    virtual ~cmcSettingsStore() = default;

    // None when the key or the value is missing, or the value is not stored as an integer.
    virtual std::optional<std::int32_t> ReadInteger(cmcSettingsRoot root, const std::string& keyPath,
                                                    const std::string& name) = 0;
    // None when the key or the value is missing.
    virtual std::optional<std::string> ReadText(cmcSettingsRoot root, const std::string& keyPath,
                                                const std::string& name) = 0;
    // Create the key where missing; false when the store cannot be written.
    virtual bool WriteInteger(cmcSettingsRoot root, const std::string& keyPath, const std::string& name,
                              std::int32_t value) = 0;
    virtual bool WriteText(cmcSettingsRoot root, const std::string& keyPath, const std::string& name,
                           const std::string& value) = 0;
    // Deletes subkey below keyPath with all it holds; false when keyPath does not exist.
    virtual bool DeleteKey(cmcSettingsRoot root, const std::string& keyPath, const std::string& subkey) = 0;
    // Makes what was written durable (the file-backed store writes its file here).
    virtual bool Flush() = 0;
};

// The store the program uses (not owned); installed at start.
cmcSettingsStore& cmcSettings();
cmcSettingsStore* cmcSetSettingsStore(cmcSettingsStore* store);
