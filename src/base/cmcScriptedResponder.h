#pragma once
// A message responder for tests and scripted runs: records every box and answers with the
// results queued by the caller, in order; with the queue empty it answers the box's first
// button. Installs itself for its lifetime.
#include "base/cmcMessageBox.h"

#include <deque>
#include <vector>

class cmcScriptedResponder final : public cmcMessageResponder {
public:
    cmcScriptedResponder();
    ~cmcScriptedResponder() override;
    cmcScriptedResponder(const cmcScriptedResponder&) = delete;
    cmcScriptedResponder& operator=(const cmcScriptedResponder&) = delete;

    void Queue(cmcMbResult answer) { answers_.push_back(answer); }
    [[nodiscard]] const std::vector<cmcMessage>& Boxes() const { return boxes_; }
    void ClearBoxes() { boxes_.clear(); }

    cmcMbResult Respond(const cmcMessage& message) override;

private:
    std::deque<cmcMbResult> answers_;
    std::vector<cmcMessage> boxes_;
    cmcMessageResponder* previous_;
};
