#pragma once
// The main window manager: loads the overlay files at start (language list, the chosen
// language's overlay, the help overlay) and reloads them when the language changes. The
// window itself is cuiMainForm; the model main object indMain derives from this class.
#include "app/indEnviron.h"

#include <string>

class cuiMain {
public:
    // folder is where the overlay files lie, with a trailing separator.
    cuiMain(indEnviron& env, std::string overlayBaseName, std::string folder);
    virtual ~cuiMain() = default;
    cuiMain(const cuiMain&) = delete;
    cuiMain& operator=(const cuiMain&) = delete;

    // The start-up loading: the language list, the language setting checked against it,
    // the chosen overlay and the help overlay.
    void LoadOverlays();
    // After the language setting changed: the chosen overlay and the help overlay again
    // (the help table keeps the file it was first given).
    void ReloadLanguage();
    // Entries of GI_Sys_Language up to the first that begins with "#", at most 256.
    [[nodiscard]] int LanguageCount() const;

    [[nodiscard]] indEnviron& Env() { return env_; }
    [[nodiscard]] const std::string& Folder() const { return folder_; }

private:
    indEnviron& env_;
    std::string baseName_;
    std::string folder_;
};
