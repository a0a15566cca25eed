// The clock of the software back end as its platform services report it: the steady clock, or a
// time that a test holds and moves; and the system's double-click time. Software back end only.
#pragma once

#include <cstdint>

struct CSoftClock
{
    bool held = false; // true: the tick count is `now`
    uint32_t now = 0;
    uint32_t doubleClickTime = 500;
};
CSoftClock& softClock();
