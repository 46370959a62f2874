#include "platform/secret.h"

#include <cstring>

namespace platform {

void secure_wipe(void* p, std::size_t n) noexcept {
    if (p == nullptr || n == 0) return;
    std::memset(p, 0, n);
    // The empty statement claims to read the memory, so the stores above
    // cannot be removed as dead even when the buffer is freed right after.
    __asm__ __volatile__("" : : "r"(p) : "memory");
}

void wipe_string(std::string& text) noexcept {
    // The whole capacity: a shorter value may have left older characters.
    secure_wipe(text.data(), text.capacity());
    text.clear();
}

SecretBytes::SecretBytes(std::size_t n) : bytes_(n ? new std::uint8_t[n]() : nullptr), size_(n) {}

SecretBytes::SecretBytes(std::span<const std::uint8_t> bytes) : SecretBytes(bytes.size()) {
    if (!bytes.empty()) std::memcpy(bytes_.get(), bytes.data(), bytes.size());
}

SecretBytes::SecretBytes(SecretBytes&& other) noexcept
    : bytes_(std::move(other.bytes_)), size_(other.size_) {
    other.size_ = 0;
}

SecretBytes& SecretBytes::operator=(SecretBytes&& other) noexcept {
    if (this != &other) {
        wipe();
        bytes_ = std::move(other.bytes_);
        size_ = other.size_;
        other.size_ = 0;
    }
    return *this;
}

SecretBytes SecretBytes::take(std::string& text) {
    SecretBytes secret(std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
    wipe_string(text);
    return secret;
}

SecretBytes SecretBytes::clone() const {
    return SecretBytes(span());
}

void SecretBytes::wipe() noexcept {
    secure_wipe(bytes_.get(), size_);
    bytes_.reset();
    size_ = 0;
}

void SecretBytes::resize(std::size_t n) {
    if (n == size_) return;
    SecretBytes bigger(n);
    if (size_ > 0 && n > 0) std::memcpy(bigger.data(), bytes_.get(), n < size_ ? n : size_);
    *this = std::move(bigger);
}

void SecretBytes::assign(std::span<const std::uint8_t> bytes) {
    *this = SecretBytes(bytes);
}

bool SecretBytes::operator==(const SecretBytes& other) const {
    if (size_ != other.size_) return false;
    std::uint8_t difference = 0;
    for (std::size_t i = 0; i < size_; ++i) difference |= bytes_[i] ^ other.bytes_[i];
    return difference == 0;
}

}  // namespace platform
