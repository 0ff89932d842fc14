// A controllable animation clock for tests: time moves only when the test says so.
#pragma once

#include <cstdint>

class fakeClock {
  public:
    fakeClock();  // installs itself as the platform's clock source
    ~fakeClock(); // restores the real-time clock
    void advance(int32_t milliseconds);
    void setNow(int32_t milliseconds);
    // Resets the animation clock and moves "now" so that the animation time reads `seconds`.
    void startShowAt(float seconds);
    int32_t now() const;
};
