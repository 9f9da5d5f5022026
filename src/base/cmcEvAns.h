#pragma once
// One answer to a question of the event manager (cmcEvMan::Ask). A question collects the
// answers of its handlers in the order they were given.
#include "base/cmcEvent.h"

#include <cstdint>
#include <string_view>
#include <vector>

struct cmcEvAns {
    std::intptr_t value = 0;
    std::intptr_t second = 0;
    std::vector<std::byte> data; // owned copy; empty: no data

    [[nodiscard]] bool HasData() const { return !data.empty(); }
    [[nodiscard]] std::string_view Text() const { return cmcEvDataText(data); }
};

// The answers to one question, first given first; empty when nobody answered.
using cmcEvAnswers = std::vector<cmcEvAns>;
