// The one mechanism record the tests build calls with: parameters in slots
// 1 to 4 whose values live in the record, and whatever operation a test left
// started is abandoned when it goes.
#pragma once

#include <cstdint>
#include <utility>
#include <vector>

#include "toolkit/cyr.h"

namespace test_support {

class Mechanism {
  public:
    using Bytes = std::vector<uint8_t>;

    explicit Mechanism(uint32_t number) { slots[0].kind = number; }
    // With one byte parameter (an IV) in slot 1.
    Mechanism(uint32_t number, uint32_t kind, Bytes value) : Mechanism(number) {
        bytes(kind, std::move(value));
    }
    Mechanism(const Mechanism&) = delete;
    Mechanism& operator=(const Mechanism&) = delete;
    ~Mechanism() {
        CYR_Abandon(slots);
        CYR_ClearSlots(slots, 8);
    }

    // Adds a u32 parameter in the next free slot (slot 4 once all are used).
    Mechanism& u32(uint32_t kind, uint32_t value) {
        const int i = take_slot();
        values_[i - 1] = value;
        slots[i] = {kind, &values_[i - 1], 4, 0, 0};
        return *this;
    }
    // Adds a byte parameter, copied into the record.
    Mechanism& bytes(uint32_t kind, Bytes value) {
        const int i = take_slot();
        buffers_[i - 1] = std::move(value);
        Bytes& b = buffers_[i - 1];
        slots[i] = {kind, b.empty() ? nullptr : b.data(), static_cast<uint32_t>(b.size()), 0, 0};
        return *this;
    }

    CYR_SLOT* get() { return slots; }
    bool has_context() const {
        for (int i = 5; i < 8; ++i)
            if (slots[i].data != nullptr) return true;
        return false;
    }

    CYR_MECHANISM slots{};

  private:
    int take_slot() { return next_ <= 4 ? next_++ : 4; }

    int next_ = 1;
    uint32_t values_[4]{};
    Bytes buffers_[4];
};

}  // namespace test_support
