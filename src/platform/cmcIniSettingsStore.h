#pragma once
// The settings store in one INI-style text file that keeps the type of every value, as the
// registry does: an integer read of a value stored as text fails.
//
//   ; comment
//   [CurrentUser\Software\Zelk\Torvane (NXDN)\Global]
//   "BBT"=dword:000b811f
//   "IpAddress"="192.168.0.11"
//
// A section names the root ("CurrentUser" or "LocalMachine") and the key path. Value names
// and texts are always quoted (\\ \" \n \r \t and \xHH escapes), integers never are, so a
// text can never be taken for an integer. Everything is kept in memory; Flush replaces the
// file atomically, so an interrupted save leaves the previous file whole.
#include "base/cmcSettingsStore.h"

#include <QByteArray>
#include <QString>

#include <map>
#include <variant>
#include <vector>

class cmcIniSettingsStore final : public cmcSettingsStore {
public:
    // Reads filePath when it exists; a missing file gives an empty store.
    explicit cmcIniSettingsStore(QString filePath);

    std::optional<std::int32_t> ReadInteger(cmcSettingsRoot root, const std::string& keyPath,
                                            const std::string& name) override;
    std::optional<std::string> ReadText(cmcSettingsRoot root, const std::string& keyPath,
                                        const std::string& name) override;
    // A key path holding a control character is refused (false).
    bool WriteInteger(cmcSettingsRoot root, const std::string& keyPath, const std::string& name,
                      std::int32_t value) override;
    bool WriteText(cmcSettingsRoot root, const std::string& keyPath, const std::string& name,
                   const std::string& value) override;
    bool DeleteKey(cmcSettingsRoot root, const std::string& keyPath, const std::string& subkey) override;
    // Writes the file (creating its folder) when anything changed since it was read or last
    // written; false when it cannot be written or when the file could not be read at start.
    bool Flush() override;

    [[nodiscard]] const QString& FilePath() const { return filePath_; }
    // False when the file exists but could not be read. The store then starts empty and
    // Flush never replaces the file, so settings that are only unreadable are not lost.
    [[nodiscard]] bool FileReadable() const { return readable_; }
    // What could not be read: "the file cannot be read", or lines that could not be
    // understood, as "line N: reason". Such lines are left out; the next Flush that writes
    // first keeps the old file as FilePath() + ".bad".
    [[nodiscard]] const std::vector<std::string>& Problems() const { return problems_; }

    // The file's text for the store's contents; Flush writes exactly this.
    [[nodiscard]] QByteArray Serialise() const;

private:
    using Value = std::variant<std::int32_t, std::string>;
    using Key = std::pair<cmcSettingsRoot, std::string>;

    void load();
    void parse(const QByteArray& text);
    bool write(cmcSettingsRoot root, const std::string& keyPath, const std::string& name, Value value);
    const Value* find(cmcSettingsRoot root, const std::string& keyPath, const std::string& name) const;

    QString filePath_;
    std::map<Key, std::map<std::string, Value>> keys_;
    std::vector<std::string> problems_;
    bool readable_ = true;
    bool dirty_ = false;
};
