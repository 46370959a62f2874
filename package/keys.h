// Key material of a run, through the toolkit's flat interface only: the
// key-encryption key (SHA-1 of the password), the session key, the wrapped
// key slots, the password-derived own key pair (DeriveSharedKeyPair), the
// check block and the recovery of a session key from a key header.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "package/choices.h"
#include "package/format.h"
#include "platform/secret.h"

namespace package {

using Status = std::uint32_t;  // a toolkit status; 0 is success

// Slot kind (= wrapping mechanism) for the chosen algorithm: 18, 46, 39.
std::uint16_t slot_kind_for(Algorithm algorithm);
// "SEED", "ARIA", "AES" for those slot kinds, "ECC" for 11.
const char* algorithm_word(std::uint16_t slot_kind);

// Passwords, key-encryption keys, session keys and private keys live in
// the one owning secret buffer (wiped on release, never copied by accident).
using platform::SecretBytes;
using platform::secure_wipe;

inline constexpr std::size_t kSessionKeySize = 16;
using CheckBlock = std::array<std::uint8_t, kCheckBlockSize>;

// First 16 bytes of SHA-1(password).
Status derive_key_encryption_key(std::span<const std::uint8_t> password, SecretBytes& kek);
// 16 random bytes.
Status generate_session_key(SecretBytes& session_key);
// The password slot: session key under the key-encryption key, CFB, zero IV.
Status wrap_with_password(const SecretBytes& session_key, std::span<const std::uint8_t> password,
                          Algorithm algorithm, KeySlot& slot);
// A recipient slot: session key encrypted to the recipient's public key.
Status wrap_for_recipient(const SecretBytes& session_key, std::span<const std::uint8_t> public_key,
                          KeySlot& slot);
// The own key pair of a password on curve 3: 43-byte public, 21-byte private.
Status DeriveSharedKeyPair(std::span<const std::uint8_t> password, Bytes& public_key,
                           SecretBytes& private_key);
// E_K(0^16) under SEED-CFB with a zero IV.
Status make_check_block(const SecretBytes& session_key, CheckBlock& out);

// The password typed for a run; derives the own private key at most once.
class PasswordKeys {
  public:
    explicit PasswordKeys(std::span<const std::uint8_t> password) : password_(password) {}
    std::span<const std::uint8_t> password() const { return password_.span(); }
    Status private_key(const SecretBytes*& out);

  private:
    SecretBytes password_;
    std::optional<SecretBytes> private_key_;
};

struct Recovery {
    bool found = false;
    SecretBytes session_key;
    std::uint16_t slot_kind = 0;  // the slot that opened it
    std::string error;            // a damaged header, or a toolkit status name
};

// Visits the slots in order: recipient slots until one passes the check
// block, reserved slots passed over, the first password slot ends the visit.
Recovery recover_session_key(const KeyHeader& header, const CheckBlock& check, PasswordKeys& keys);

// The toolkit's name of a status, as the user sees it.
std::string status_text(Status status);

}  // namespace package
