#include <gtest/gtest.h>

#include <cstring>

#include "toolkit/internal.h"

namespace {

TEST(Slots, ReleaseWipesCallerBufferAndKeepsPointer) {
    unsigned char buffer[8];
    std::memset(buffer, 0xAB, sizeof buffer);
    CYR_SLOT slot{1, buffer, sizeof buffer, 1, 0};
    cyr::release_slot(&slot, true);
    EXPECT_EQ(slot.data, buffer);
    for (unsigned char b : buffer) EXPECT_EQ(b, 0);
}

TEST(Slots, InstallContextReplacesSlotFive) {
    CYR_MECHANISM mechanism{};
    void* first = cyr::install_context(mechanism, 57, 32);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(cyr::find_context(mechanism, 57), &mechanism[5]);
    void* second = cyr::install_context(mechanism, 58, 16);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(cyr::find_context(mechanism, 57), nullptr);
    cyr::release_contexts(mechanism);
    EXPECT_EQ(mechanism[5].data, nullptr);
}

}  // namespace
