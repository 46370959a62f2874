#include "updater/signed_list.h"

#include <cctype>
#include <charconv>
#include <fstream>
#include <iterator>
#include <set>

#include "toolkit/ed25519.h"
#include "updater/version_list.h"

namespace updater {

namespace {

std::string TrimRight(std::string text) {
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) text.pop_back();
    return text;
}

bool StartsWith(const std::string& text, const char* prefix) {
    return text.rfind(prefix, 0) == 0;
}

bool IsSignedLine(const std::string& line) {
    return StartsWith(line, kSerialLine) || StartsWith(line, kDigestLine);
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

std::vector<std::string> TextLines(const std::string& text) {
    constexpr std::size_t kMost = 1023;  // what fgets leaves room for
    std::vector<std::string> lines;
    std::size_t at = 0;
    while (at < text.size()) {
        std::size_t end = text.find('\n', at);
        end = end == std::string::npos ? text.size() : end + 1;
        if (end - at > kMost) end = at + kMost;
        lines.push_back(text.substr(at, end - at));
        at = end;
    }
    return lines;
}

std::string HexText(const std::uint8_t* data, std::size_t size) {
    static const char digits[] = "0123456789abcdef";
    std::string text;
    for (std::size_t i = 0; i < size; ++i) {
        text += digits[data[i] >> 4];
        text += digits[data[i] & 15];
    }
    return text;
}

bool ParseHex(const std::string& raw, std::uint8_t* out, std::size_t size) {
    std::size_t begin = 0, end = raw.size();
    while (begin < end && std::isspace(static_cast<unsigned char>(raw[begin]))) ++begin;
    while (end > begin && std::isspace(static_cast<unsigned char>(raw[end - 1]))) --end;
    if (end - begin != 2 * size) return false;
    for (std::size_t i = 0; i < size; ++i) {
        const int high = HexValue(raw[begin + 2 * i]), low = HexValue(raw[begin + 2 * i + 1]);
        if (high < 0 || low < 0) return false;
        out[i] = static_cast<std::uint8_t>(high * 16 + low);
    }
    return true;
}

std::optional<std::string> ReadFileBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) return std::nullopt;
    return bytes;
}

std::string SignatureFileText(const Signature& signature) {
    return HexText(signature.data(), signature.size()) + "\n";
}

std::optional<SignedLines> ReadSignedLines(const std::string& text, std::string& error) {
    SignedLines lines;
    bool have_serial = false;
    for (const std::string& raw : TextLines(text)) {
        const std::string line = TrimRight(raw);
        if (StartsWith(line, kSerialLine)) {
            const std::string number = line.substr(sizeof kSerialLine - 1);
            std::uint64_t serial = 0;
            const auto [end, ec] =
                std::from_chars(number.data(), number.data() + number.size(), serial);
            if (have_serial || ec != std::errc() || end != number.data() + number.size() ||
                number.empty()) {
                error = have_serial ? "a second serial line" : "a malformed serial line";
                return std::nullopt;
            }
            lines.serial = serial;
            have_serial = true;
        } else if (StartsWith(line, kDigestLine)) {
            const std::string rest = line.substr(sizeof kDigestLine - 1);
            Sha512Digest digest{};
            if (rest.size() < 130 || rest[128] != ' ' ||
                !ParseHex(rest.substr(0, 128), digest.data(), digest.size())) {
                error = "a malformed SHA-512 line";
                return std::nullopt;
            }
            const std::string remote = rest.substr(129);
            const auto [at, added] = lines.digests.emplace(remote, digest);
            if (!added && at->second != digest) {
                error = "two SHA-512 values for " + remote;
                return std::nullopt;
            }
        }
    }
    if (!have_serial) {
        error = "no serial line";
        return std::nullopt;
    }
    return lines;
}

std::string WithSignedLines(const std::string& text, std::uint64_t serial,
                            const std::vector<std::pair<std::string, Sha512Digest>>& digests) {
    const std::size_t first_end = text.find('\n');
    const std::string eol =
        first_end != std::string::npos && first_end > 0 && text[first_end - 1] == '\r' ? "\r\n"
                                                                                       : "\n";
    std::string out = kSerialLine + std::to_string(serial) + eol;
    for (const auto& [remote, digest] : digests)
        out += kDigestLine + HexText(digest.data(), digest.size()) + " " + remote + eol;
    for (const std::string& line : TextLines(text))
        if (!IsSignedLine(line)) out += line;
    if (!out.empty() && out.back() != '\n') out += eol;
    return out;
}

std::vector<std::string> ModuleRemotePaths(const std::string& text) {
    std::vector<std::string> remotes;
    std::set<std::string> seen;
    for (const std::string& line : TextLines(text)) {
        const auto entry = ModuleFromLine(line);
        if (entry && seen.insert(entry->remote_path).second) remotes.push_back(entry->remote_path);
    }
    return remotes;
}

UpdateKey ChooseUpdateKey(const std::string& built_in, const std::string& configured) {
    UpdateKey chosen;
    const bool has_built_in = built_in.find_first_not_of(" \t") != std::string::npos;
    const bool has_configured = configured.find_first_not_of(" \t\r\n") != std::string::npos;
    if (!has_built_in && !has_configured) return chosen;
    chosen.source = has_built_in ? KeySource::built_in : KeySource::configuration;
    const std::string& text = has_built_in ? built_in : configured;
    chosen.usable = ParseHex(text, chosen.key.data(), chosen.key.size()) &&
                    cyr::ed25519_public_key_valid(chosen.key.data());
    if (has_built_in && has_configured) {
        PublicKey other{};
        chosen.configuration_ignored =
            !ParseHex(configured, other.data(), other.size()) || other != chosen.key;
    }
    return chosen;
}

}  // namespace updater
