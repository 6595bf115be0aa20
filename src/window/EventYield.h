#pragma once

#include <cstdint>

// One pass of the event loop, as procedures that stay responsive while they work make it.
class EventYield
{
public:
    virtual ~EventYield() = default;
    // Dispatches whatever window events are waiting and returns.
    virtual void DoEvents() = 0;
    // One pass that may sleep until an event arrives or the clock reaches dueTick,
    // whichever comes first, so a loop waiting for its next step does not spin a core.
    virtual void DoEventsUntil(std::int64_t dueTick) = 0;
};

class SteadyTickClock;

class QtEventYield final : public EventYield
{
public:
    explicit QtEventYield(SteadyTickClock &clock);
    void DoEvents() override;
    void DoEventsUntil(std::int64_t dueTick) override;

private:
    SteadyTickClock &clock_;
};
