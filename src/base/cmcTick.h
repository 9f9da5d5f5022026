#pragma once
// A millisecond deadline on the 32-bit clock of the timer service; one wrap of the clock
// between Start and expiry is harmless.
#include <cstdint>

class cmcTick {
public:
    void Start(std::uint32_t ms);
    // Milliseconds left; 0 when not armed or expired (expiry disarms).
    std::uint32_t Remaining();
    [[nodiscard]] bool IsArmed() const { return armed_; }
    // Lets ms pass doing nothing else (no timer runs meanwhile).
    static void Delay(std::uint32_t ms);

private:
    std::uint32_t duration_ = 0;
    std::uint32_t start_ = 0;
    bool armed_ = false;
};
