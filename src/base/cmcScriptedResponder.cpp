#include "base/cmcScriptedResponder.h"

cmcScriptedResponder::cmcScriptedResponder() : previous_(cmcSetMessageResponder(this)) {}

cmcScriptedResponder::~cmcScriptedResponder() { cmcSetMessageResponder(previous_); }

cmcMbResult cmcScriptedResponder::Respond(const cmcMessage& message)
{
    boxes_.push_back(message);
    if (answers_.empty())
        return cmcFirstButton(message.buttons);
    const cmcMbResult answer = answers_.front();
    answers_.pop_front();
    return answer;
}
