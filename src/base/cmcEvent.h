#pragma once
// One event as the handlers see it. Data blocks are owned copies; texts are copied with
// their terminating NUL, so a text event carries at least one byte.
#include "base/cmcEvCode.h"

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

enum class cmcEvMode {
    Queued = 0,    // posted, delivered by the dispatcher tick
    Immediate = 1, // sent, delivered in the raiser's stack
    Asked = 2,     // sent as a question; handlers may answer
};

// The text held by a data block: the bytes up to the first NUL (all of them when there is
// none), so a block that is not a text can never be read past its end.
inline std::string_view cmcEvDataText(const std::vector<std::byte>& data)
{
    const char* begin = reinterpret_cast<const char*>(data.data());
    std::size_t length = 0;
    while (length < data.size() && begin[length] != '\0')
        ++length;
    return {begin, length};
}

struct cmcEvent {
    cmcEvCode code{};
    cmcEvMode mode = cmcEvMode::Queued;
    std::intptr_t arg1 = 0;
    std::intptr_t arg2 = 0;
    std::vector<std::byte> data; // empty: no data

    [[nodiscard]] bool HasData() const { return !data.empty(); }
    [[nodiscard]] std::string_view Text() const { return cmcEvDataText(data); }
};
