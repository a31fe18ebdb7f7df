#pragma once
// Shows the hourglass (wait cursor) for the guard's lifetime; every way out of the scope,
// an exception included, restores the cursor. restore() ends it early.

class HourglassGuard {
public:
    HourglassGuard();
    ~HourglassGuard();
    HourglassGuard(const HourglassGuard&) = delete;
    HourglassGuard& operator=(const HourglassGuard&) = delete;

    void restore();
    bool active() const { return active_; }

private:
    bool active_ = false;
};
