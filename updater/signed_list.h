// Signed version lists. The publisher adds comment lines that older
// updaters skip:
//   ;vlr-serial <decimal>               once, the list's release number
//   ;vlr-sha512 <128 hex digits> <remote path>   one per module file
// and signs the whole list file, byte for byte, with Ed25519; the signature
// travels as a separate file (the list's name + ".sig") holding 128 hex
// digits and a line end. Parsing and deciding are pure; CKSTMgr acts.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace updater {

using Sha512Digest = std::array<std::uint8_t, 64>;
using PublicKey = std::array<std::uint8_t, 32>;
using Signature = std::array<std::uint8_t, 64>;

inline constexpr char kSerialLine[] = ";vlr-serial ";
inline constexpr char kDigestLine[] = ";vlr-sha512 ";
inline constexpr char kSignatureSuffix[] = ".sig";
inline constexpr char kSerialSuffix[] = ".serial";

// What the signed lines of a list say.
struct SignedLines {
    std::uint64_t serial = 0;
    std::map<std::string, Sha512Digest> digests;  // by remote path
};

// The signed lines of a list's text; nothing (and `error` says why) when
// the serial is missing or repeated, a line is malformed, or one remote
// path has two different digests.
std::optional<SignedLines> ReadSignedLines(const std::string& text, std::string& error);

// The list's text without signed lines (of an earlier signing), with the
// serial and the digests written first, in the order given. Line ends
// follow the list's own ("\r\n" when its first line has one).
std::string WithSignedLines(const std::string& text, std::uint64_t serial,
                            const std::vector<std::pair<std::string, Sha512Digest>>& digests);

// Remote paths of the module lines, in list order, each once.
std::vector<std::string> ModuleRemotePaths(const std::string& text);

// The lines of a text as a 1,024-byte line buffer reads them (as
// ReadListLines does for a file).
std::vector<std::string> TextLines(const std::string& text);

// Lower-case hex and back; parsing takes exactly 2 * N hex digits with
// optional surrounding blanks and line ends.
std::string HexText(const std::uint8_t* data, std::size_t size);
bool ParseHex(const std::string& text, std::uint8_t* out, std::size_t size);

std::string SignatureFileText(const Signature& signature);

// The bytes of a list or signature file exactly as stored (what a signature
// covers); nothing when it cannot be read.
std::optional<std::string> ReadFileBytes(const std::filesystem::path& path);

// Where a public key for signed updates comes from, and the key in force.
enum class KeySource { none, built_in, configuration };
struct UpdateKey {
    KeySource source = KeySource::none;
    bool usable = false;  // false: the key text is malformed or not a valid point
    PublicKey key{};
    bool configuration_ignored = false;  // a different configured key lost to the built-in one
};

// The built-in key wins: a configuration file lies in a folder the user
// (and whatever runs as the user) can write, the program's own bytes are
// what the publisher shipped. Without a built-in key the configured one is
// used; with neither there is no key and updates are not checked. A key
// that is present but unusable is reported as such (never treated as none).
UpdateKey ChooseUpdateKey(const std::string& built_in, const std::string& configured);

// The key compiled into the updater (empty when the build has none).
const char* BuiltInUpdateKey();

}  // namespace updater
