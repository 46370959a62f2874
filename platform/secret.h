// Secrets in memory: the one wipe the compiler cannot drop, and the one
// owning buffer for passwords, key-encryption keys, session keys and private
// keys. No dependencies, so every layer (the toolkit included) can use it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>

namespace platform {

// Zeroes n bytes; the stores survive even when the memory is freed next.
void secure_wipe(void* p, std::size_t n) noexcept;

// Zeroes a string's characters, then empties it.
void wipe_string(std::string& text) noexcept;

// Bytes owned by exactly one holder and zeroed whenever they are released:
// on destruction, on wipe(), when moved over and when resize() moves them.
// Copies are explicit (clone()), so a secret is never duplicated by accident.
class SecretBytes {
  public:
    SecretBytes() = default;
    // n zero bytes.
    explicit SecretBytes(std::size_t n);
    explicit SecretBytes(std::span<const std::uint8_t> bytes);
    ~SecretBytes() { wipe(); }

    SecretBytes(SecretBytes&& other) noexcept;
    SecretBytes& operator=(SecretBytes&& other) noexcept;
    SecretBytes(const SecretBytes&) = delete;
    SecretBytes& operator=(const SecretBytes&) = delete;

    // Takes the text's characters and wipes the string it came from.
    static SecretBytes take(std::string& text);
    SecretBytes clone() const;

    // Zeroes and frees the bytes; the secret is empty afterwards.
    void wipe() noexcept;
    // Keeps the first min(size, n) bytes, new bytes are zero; the old
    // storage is wiped before it is freed.
    void resize(std::size_t n);
    void assign(std::span<const std::uint8_t> bytes);

    std::uint8_t* data() { return bytes_.get(); }
    const std::uint8_t* data() const { return bytes_.get(); }
    std::size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    std::span<const std::uint8_t> span() const { return {bytes_.get(), size_}; }
    std::span<std::uint8_t> span() { return {bytes_.get(), size_}; }
    // The bytes seen as text (a password as typed or as code page text).
    std::string_view text() const { return {reinterpret_cast<const char*>(bytes_.get()), size_}; }

    // Compares in time that depends on the lengths only.
    bool operator==(const SecretBytes& other) const;

  private:
    std::unique_ptr<std::uint8_t[]> bytes_;
    std::size_t size_ = 0;
};

}  // namespace platform
