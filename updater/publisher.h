// The publisher's side of signed updates: a key pair, a signed version list
// with the SHA-512 of every module it names, and the check of both. The
// command line ("vellora-cli update") only parses and prints.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "updater/signed_list.h"

namespace updater {

using Seed = std::array<std::uint8_t, 32>;

// Makes a key pair from the system's entropy and writes the secret seed
// (64 hex digits) to a new owner-only file; an existing file is never
// replaced. The public key comes back; nothing on failure (`error` says why).
std::optional<PublicKey> MakeKeyPair(const std::filesystem::path& secret_file, std::string& error);

// Reads a secret key file; the caller wipes the seed after use.
bool ReadSecretKey(const std::filesystem::path& secret_file, Seed& seed, std::string& error);

// A public key given as 64 hex digits or as a file holding them.
std::optional<PublicKey> ReadPublicKey(const std::string& text_or_file, std::string& error);

// Where a module named by its remote path lies under the server's document
// root ("/down/Vellora.exe" -> ROOT/down/Vellora.exe); nothing for a path
// that would leave the root.
std::optional<std::filesystem::path> ServedFile(const std::filesystem::path& root,
                                                const std::string& remote);

struct PublishReport {
    bool ok = false;
    std::string error;
    std::uint64_t serial = 0;
    // Remote path and what became of it: "OK", or why not.
    std::vector<std::pair<std::string, std::string>> modules;
};

// Rewrites `list` with the serial and the SHA-512 of each module found
// under `root`, and writes the signature to `list` + ".sig". Without a
// serial the next one is max(previous + 1, seconds since 1970). Fails
// without writing anything when a module file is missing or a line would
// not fit the 1,024-byte line buffer of the updaters.
PublishReport SignVersionList(const Seed& seed, const std::filesystem::path& list,
                              const std::filesystem::path& root,
                              std::optional<std::uint64_t> serial);

// Checks the signature of `list` (with `list` + ".sig") and, with a root,
// that every module's file there has its signed SHA-512.
PublishReport VerifyVersionList(const PublicKey& key, const std::filesystem::path& list,
                                const std::optional<std::filesystem::path>& root);

// SHA-512 of a file's content; nothing when it cannot be read.
std::optional<Sha512Digest> FileDigest(const std::filesystem::path& file);

}  // namespace updater
