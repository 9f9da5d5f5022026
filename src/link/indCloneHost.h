#pragma once
// What the clone manager and the clone sequences need from the program around them: the
// progress display, the windows disabled while an operation runs, the clone password
// dialog, the views after the image changed, the clone information window and the data
// check before a write. The program answers with its windows, the command-line tool with a
// progress bar on standard error and its arguments, tests with a recording fake. Messages
// and confirmations go through cmcMessageBox, not through here.
#include <optional>
#include <string>

struct indCloneInfo;

class indCloneHost {
public:
    virtual ~indCloneHost() = default;

    // The progress window of a read or write (caption from GI_Mess_CloneRW_Title_Message);
    // Update comes every 30 ms while it is shown: done of total bytes (or accessory items).
    virtual void ShowProgress(const std::string& caption) { (void)caption; }
    virtual void UpdateProgress(long long done, long long total)
    {
        (void)done;
        (void)total;
    }
    virtual void CloseProgress() {}
    // The main window (and the accessory dialog when open) are disabled while an operation
    // runs, so no second command can start.
    virtual void SetWindowsEnabled(bool enabled) { (void)enabled; }

    // The clone password dialog: the password typed (1 to 16 characters), none on Cancel.
    virtual std::optional<std::string> AskClonePassword() { return std::nullopt; }

    // The working image was replaced by a read: close the sheet, rebuild the tree, repaint.
    virtual void ImageRead() {}
    // A write succeeded (before its message): close the sheet.
    virtual void ImageWritten() {}
    // The clone information window on a record (the radio's, or the built-in sample).
    virtual void ShowCloneInfo(const indCloneInfo& info) { (void)info; }

    // Errors the warning check counts in the working image; a write of data with errors is
    // refused.
    virtual int CountDataErrors() { return 0; }
};
