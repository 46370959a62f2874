// Tests that make real windows: under Wine without a display none can be
// made and the test skips. Where the run provided a display (ctest through
// xvfb-run sets VELLORA_DISPLAY_PROVIDED) a window that cannot be made is a
// failure, so a broken display never passes as a skip.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>

namespace test_support {

inline bool display_provided() {
    const char* value = std::getenv("VELLORA_DISPLAY_PROVIDED");
    return value != nullptr && *value != '\0';
}

}  // namespace test_support

#define VELLORA_NEED_WINDOWS(made)                                                    \
    do {                                                                              \
        if (made) break;                                                              \
        if (::test_support::display_provided()) FAIL() << "no window on the display"; \
        GTEST_SKIP() << "no display to make windows on";                              \
    } while (false)
