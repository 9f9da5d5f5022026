#pragma once
// Message boxes of the window system. Each box is a QMessageBox centred in the work area of
// the main window's monitor (the primary monitor when no main window is registered), with
// the first button as the default. Installs itself as the responder for its lifetime.
//
// Log mode, for end-to-end runs of the program: when a log file is named (by default the
// environment variable TORVANE_MESSAGE_LOG), no box is shown; each box appends one line
//   caption TAB icon TAB buttons TAB text
// (fields escaped: \\ for a backslash, \t, \n, \r) and is answered with its first button.
#include "base/cmcMessageBox.h"

#include <QString>

#include <string>

class cmcQtMessageResponder final : public cmcMessageResponder {
public:
    // Log mode when TORVANE_MESSAGE_LOG is set and not empty.
    cmcQtMessageResponder();
    // Log mode into logPath; an empty path shows the boxes.
    explicit cmcQtMessageResponder(QString logPath);
    ~cmcQtMessageResponder() override;
    cmcQtMessageResponder(const cmcQtMessageResponder&) = delete;
    cmcQtMessageResponder& operator=(const cmcQtMessageResponder&) = delete;

    cmcMbResult Respond(const cmcMessage& message) override;

    [[nodiscard]] const QString& LogPath() const { return logPath_; }
    // The line log mode writes for a box, without the line end.
    [[nodiscard]] static std::string LogLine(const cmcMessage& message);

private:
    cmcMbResult show(const cmcMessage& message);
    void log(const cmcMessage& message);

    QString logPath_;
    cmcMessageResponder* previous_;
};

// Makes the fatal stop show one error box (OK button) captioned with the executable's file
// name through the installed responder; cmcFatalStop then ends the process. argv0 names the
// executable when no application object exists yet. A fatal stop raised while that box is
// open (by a timer tick of its modal loop) ends the process without a second box.
void cmcInstallQtFatalHandler(const char* argv0 = nullptr);
