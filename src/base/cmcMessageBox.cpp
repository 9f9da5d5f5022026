#include "base/cmcMessageBox.h"

#include <cstdio>
#include <utility>

namespace {
class StderrResponder final : public cmcMessageResponder {
public:
    cmcMbResult Respond(const cmcMessage& message) override
    {
        std::fprintf(stderr, "%s\n", message.text.c_str());
        return cmcFirstButton(message.buttons);
    }
};

StderrResponder defaultResponder;
cmcMessageResponder* currentResponder = &defaultResponder;
} // namespace

cmcMessageResponder* cmcSetMessageResponder(cmcMessageResponder* responder)
{
    cmcMessageResponder* previous = currentResponder == &defaultResponder ? nullptr : currentResponder;
    currentResponder = responder ? responder : &defaultResponder;
    return previous;
}

cmcMbResult cmcMessageBox(const std::string& text, const std::string& caption,
                          cmcMbButtons buttons, cmcMbIcon icon)
{
    return currentResponder->Respond(cmcMessage{text, caption, buttons, icon});
}

cmcMbResult cmcFirstButton(cmcMbButtons buttons)
{
    switch (buttons) {
    case cmcMbButtons::Ok:
    case cmcMbButtons::OkCancel: return cmcMbResult::Ok;
    case cmcMbButtons::YesNo:
    case cmcMbButtons::YesNoCancel: return cmcMbResult::Yes;
    case cmcMbButtons::RetryCancel: return cmcMbResult::Retry;
    case cmcMbButtons::AbortRetryIgnore: return cmcMbResult::Abort;
    }
    return cmcMbResult::Ok;
}
