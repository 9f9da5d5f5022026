#pragma once
// The one message-box helper. Every box of the program goes through cmcMessageBox; what
// answers it is the installed responder: the window system's boxes in the program, a
// scripted responder in tests, a fixed policy in the command-line tool.
#include <string>

enum class cmcMbButtons { Ok, OkCancel, YesNo, YesNoCancel, RetryCancel, AbortRetryIgnore };
enum class cmcMbIcon { None, Error, Exclamation, Information, Question };
enum class cmcMbResult { Ok = 1, Cancel = 2, Abort = 3, Retry = 4, Ignore = 5, Yes = 6, No = 7 };

struct cmcMessage {
    std::string text;
    std::string caption;
    cmcMbButtons buttons = cmcMbButtons::Ok;
    cmcMbIcon icon = cmcMbIcon::None;
};

class cmcMessageResponder {
public:
    virtual ~cmcMessageResponder() = default;
    virtual cmcMbResult Respond(const cmcMessage& message) = 0;
};

// Installs the responder (not owned) and returns the previous one; nullptr restores the
// default, which writes the box to standard error and answers its first button.
cmcMessageResponder* cmcSetMessageResponder(cmcMessageResponder* responder);

cmcMbResult cmcMessageBox(const std::string& text, const std::string& caption,
                          cmcMbButtons buttons, cmcMbIcon icon);

// The button a box answers when nobody chooses: the first of its set.
cmcMbResult cmcFirstButton(cmcMbButtons buttons);
