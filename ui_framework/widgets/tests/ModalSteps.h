// Drives a modal run from a thread timer: each tick takes the next step, so a test can act
// inside the modal loop and look at the window between its actions.
#pragma once
#include <windows.h>

#include <cstdint>
#include <functional>
#include <vector>

namespace widgetstest {

inline std::vector<std::function<void()>>& modalSteps() {
    static std::vector<std::function<void()>> steps;
    return steps;
}

inline void CALLBACK takeModalStep(HWND, UINT, UINT_PTR, DWORD) {
    auto& steps = modalSteps();
    if (steps.empty())
        return;
    std::function<void()> step = std::move(steps.front());
    steps.erase(steps.begin());
    step();
}

// Calls run (which enters the modal loop) with the steps taken 20 ms apart; run's result.
inline uint32_t runWithSteps(const std::function<uint32_t()>& run, std::vector<std::function<void()>> steps) {
    modalSteps() = std::move(steps);
    UINT_PTR timer = SetTimer(nullptr, 0, 20, &takeModalStep);
    uint32_t result = run();
    KillTimer(nullptr, timer);
    modalSteps().clear();
    return result;
}

} // namespace widgetstest
