#pragma once

#include <cstdint>

// Milliseconds of a monotonic counter; injected so tests drive time themselves.
class TickClock
{
public:
    virtual ~TickClock() = default;
    [[nodiscard]] virtual std::int64_t GetTickCount() = 0;
};

class SteadyTickClock final : public TickClock
{
public:
    [[nodiscard]] std::int64_t GetTickCount() override;
};
