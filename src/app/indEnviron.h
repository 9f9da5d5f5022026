#pragma once
// The environment: every persistent setting of the program, read from the settings store
// when the first instance starts and written back when it ends, plus the recent-file list
// and the remembered placements of the model's edit windows.
#include "app/cmcFormPosition.h"
#include "app/cmcRecent.h"
#include "base/cmcSettingsStore.h"

#include <cstdint>
#include <list>
#include <memory>
#include <string>

class cmcInstanceGuard;

// A rectangle in screen pixels (left, top, width, height).
struct cmcArea {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    bool operator==(const cmcArea&) const = default;
};

// Default main-window placement inside the primary work area: 90 % of it, at most
// 1024 x 768, centred horizontally, its top at 30 % of the free vertical space.
cmcArea DefaultWindowPlacement(const cmcArea& workArea);

class indEnviron {
public:
    static constexpr std::int32_t ValidMarker = 753951;
    static constexpr int RecentCapacity = 10;

    // Takes the single-instance lock named mutexName; only the first instance loads (and
    // later saves) the settings under settingsRoot. primaryWorkArea places the main window
    // when the settings are reset.
    indEnviron(const std::string& mutexName, const std::string& settingsRoot, cmcSettingsStore& store,
               const cmcArea& primaryWorkArea);
    // Saves the settings when this is the first instance and the marker is valid.
    ~indEnviron();
    indEnviron(const indEnviron&) = delete;
    indEnviron& operator=(const indEnviron&) = delete;

    [[nodiscard]] bool IsFirstInstance() const { return firstInstance_; }
    void LoadSettings();
    void SaveSettings();
    void ResetSettings();

    // Edit-form positions.
    cmcFormPosition* FindFormPosition(const std::string& name);
    cmcFormPosition& StoreFormPosition(const std::string& name, int left, int top, int width, int height,
                                       int topRow, int leftColumn, int currentRow, int currentColumn,
                                       int windowState, int open);

    // Registry helpers used by the sheets for their column widths.
    std::int32_t ReadRegInteger(cmcSettingsRoot root, const std::string& keyPath, const std::string& name);
    void WriteRegInteger(cmcSettingsRoot root, const std::string& keyPath, std::int32_t value,
                         const std::string& name);
    void DeleteRegKey(cmcSettingsRoot root, const std::string& keyPath, const std::string& subkey);

    [[nodiscard]] const std::string& SettingsRoot() const { return settingsRoot_; }
    [[nodiscard]] std::string KeyPath(const std::string& subkey) const { return settingsRoot_ + "\\" + subkey; }

    // The settings, read and written directly by the parts that use them.
    cmcRecent recent{RecentCapacity};
    std::int32_t marker = ValidMarker;
    std::int32_t fontSizePercentage = 80;
    std::int32_t toolBarVisible = 1;
    std::int32_t printerFontSize = 10;
    std::int32_t comPort = 1;
    std::int32_t highSpeed = 1;
    std::string ipAddress = "192.168.0.11";
    std::int32_t tcpPort = 41000;
    std::int32_t portSelect = 0;
    std::string clonePassword; // never stored
    std::string currentDirectory;
    std::int32_t windowLeft = 0;
    std::int32_t windowTop = 0;
    std::int32_t windowWidth = 0;
    std::int32_t windowHeight = 0;
    std::int32_t splitter = 200;
    std::int32_t modelType = 0;
    std::int32_t language = 0;
    std::string makerWord = "mintaro";
    std::string adjustReadPassword;

private:
    bool readAll();
    bool writeAll();

    std::string mutexName_;
    std::string settingsRoot_;
    cmcSettingsStore& store_;
    cmcArea primaryWorkArea_;
    std::unique_ptr<cmcInstanceGuard> guard_;
    bool firstInstance_ = false;
    std::list<cmcFormPosition> positions_; // newest first
};
