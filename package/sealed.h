// The data stream of a sealed body: SEED-CFB under the session key from an
// all-zero IV, fed in chunks of any size (CFB output does not depend on the
// chunking), through the toolkit's update and final calls.
#pragma once

#include <cstddef>
#include <cstdint>

#include "package/keys.h"
#include "toolkit/cyr.h"

namespace package {

class CfbStream {
  public:
    CfbStream() = default;
    ~CfbStream();
    CfbStream(const CfbStream&) = delete;
    CfbStream& operator=(const CfbStream&) = delete;

    Status begin(const SecretBytes& session_key, bool encrypt);
    // `out` must hold n + 16 bytes. Never called with n == 0: the toolkit
    // refuses an empty update.
    Status update(const std::uint8_t* in, std::size_t n, std::uint8_t* out, std::size_t& produced);
    // `out` must hold 16 bytes.
    Status finish(std::uint8_t* out, std::size_t& produced);

  private:
    void abandon();

    CYR_MECHANISM mech_{};
    std::uint8_t zero_iv_[16]{};
    SecretBytes key_;
    bool encrypt_ = true;
};

}  // namespace package
