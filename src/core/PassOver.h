#pragma once
// Runs one step of a window procedure whose errors are passed over: a failing step is
// skipped and the next one runs.

template <class F> void PassOver(F&& step) {
    try {
        step();
    } catch (...) {
    }
}
