#pragma once
// The clone commands of the program's windows: reading and writing the radio, the clone
// information, its sample, and the accessory settings dialog, on the clone manager and
// the clone sequences the command-line tool shares. This is their window side: the
// progress window, the main window (and the accessory dialog) disabled while an operation
// runs, the clone password dialog, and the link options taken from the settings before
// every command. What the views do after a read or write, the clone information window
// and the warning check's error count are hooks of the main window.
#include "link/indCloneHost.h"
#include "link/indCloneMan.h"
#include "link/indCloneSequences.h"

#include <QPointer>

#include <functional>
#include <memory>

class cuiCloneProgress;
class iuiAccessoryDialog;
class indDocument;
class indEnviron;

class iuiCloneCommands final : public indCloneHost {
public:
    iuiCloneCommands(indEnviron& env, indDocument& document, cmcLinkFactory& links);
    ~iuiCloneCommands() override;
    iuiCloneCommands(const iuiCloneCommands&) = delete;
    iuiCloneCommands& operator=(const iuiCloneCommands&) = delete;

    // The commands; each does nothing while an operation runs.
    void ReadRadio();
    void WriteRadio();
    void ShowCloneInfo();
    void ShowSampleCloneInfo();
    // Shows the accessory dialog modally; its Write runs the accessory write.
    void ShowAccessorySettings();
    void SetMakerMode(bool on) { sequences_.SetMakerMode(on); }

    std::function<void()> onImageRead;
    std::function<void()> onImageWritten;
    std::function<void(const indCloneInfo&)> onShowCloneInfo;
    std::function<int()> countDataErrors;

    [[nodiscard]] indCloneMan& Manager() { return manager_; }
    [[nodiscard]] indCloneSequences& Sequences() { return sequences_; }
    [[nodiscard]] iuiAccessoryDialog& AccessoryDialog();
    [[nodiscard]] cuiCloneProgress* Progress() const { return progress_; }

    // indCloneHost
    void ShowProgress(const std::string& caption) override;
    void UpdateProgress(long long done, long long total) override;
    void CloseProgress() override;
    void SetWindowsEnabled(bool enabled) override;
    std::optional<std::string> AskClonePassword() override;
    void ImageRead() override;
    void ImageWritten() override;
    void ShowCloneInfo(const indCloneInfo& info) override;
    int CountDataErrors() override;

private:
    void takeSettings();

    indEnviron& env_;
    indCloneMan manager_;
    indCloneSequences sequences_;
    QPointer<cuiCloneProgress> progress_;
    std::unique_ptr<iuiAccessoryDialog> accessory_;
};
