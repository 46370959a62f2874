#include "updater/publisher.h"

#include <cstdio>
#include <ctime>
#include <fstream>
#include <iterator>

#include "netdown/local_path.h"
#include "platform/entropy.h"
#include "platform/files.h"
#include "platform/private_file.h"
#include "platform/secret.h"
#include "platform/staged_output.h"
#include "toolkit/ed25519.h"
#include "toolkit/sha512.h"

namespace updater {

namespace fs = std::filesystem;

namespace {

bool WriteStaged(const fs::path& path, const std::string& text) {
    return platform::write_file_staged(path, {reinterpret_cast<const std::uint8_t*>(text.data()),
                                              text.size()}) == platform::WriteResult::ok;
}

std::string SignatureFile(const fs::path& list) {
    return platform::path_to_utf8(list) + kSignatureSuffix;
}

}  // namespace

std::optional<Sha512Digest> FileDigest(const fs::path& file) {
    platform::FilePtr opened = platform::open_file(file, "rb");
    std::FILE* in = opened.get();
    if (!in) return std::nullopt;
    cyr::Sha512Context ctx;
    cyr::sha512_init(&ctx);
    std::vector<std::uint8_t> buffer(1 << 16);
    for (std::size_t n; (n = std::fread(buffer.data(), 1, buffer.size(), in)) > 0;)
        cyr::sha512_update(&ctx, buffer.data(), n);
    const bool failed = std::ferror(in) != 0;
    Sha512Digest digest{};
    cyr::sha512_final(&ctx, digest.data());
    if (failed) return std::nullopt;
    return digest;
}

std::optional<PublicKey> MakeKeyPair(const fs::path& secret_file, std::string& error) {
    Seed seed{};
    if (!platform::os_entropy(seed.data(), seed.size())) {
        error = "the system's random source failed";
        return std::nullopt;
    }
    PublicKey key{};
    cyr::ed25519_public_key(seed.data(), key.data());
    std::string text = HexText(seed.data(), seed.size()) + "\n";
    platform::secure_wipe(seed.data(), seed.size());
    platform::FilePtr created = platform::create_private_file(secret_file);
    std::FILE* file = created.release();
    bool ok = file != nullptr;
    if (!ok) error = platform::path_to_utf8(secret_file) + " exists or cannot be created";
    if (file) {
        ok = std::fwrite(text.data(), 1, text.size(), file) == text.size() &&
             platform::flush_to_device(file);
        ok = std::fclose(file) == 0 && ok;
        if (!ok) {
            error = "the secret key could not be written to " + platform::path_to_utf8(secret_file);
            std::error_code ec;
            fs::remove(secret_file, ec);
        }
    }
    platform::wipe_string(text);
    if (!ok) return std::nullopt;
    return key;
}

bool ReadSecretKey(const fs::path& secret_file, Seed& seed, std::string& error) {
    auto text = ReadFileBytes(secret_file);
    if (!text) {
        error = platform::path_to_utf8(secret_file) + " cannot be read";
        return false;
    }
    const bool ok = ParseHex(*text, seed.data(), seed.size());
    platform::wipe_string(*text);
    if (!ok) error = platform::path_to_utf8(secret_file) + " does not hold a secret key";
    return ok;
}

std::optional<PublicKey> ReadPublicKey(const std::string& text_or_file, std::string& error) {
    PublicKey key{};
    std::string text = text_or_file;
    if (!ParseHex(text, key.data(), key.size())) {
        const auto file = ReadFileBytes(platform::path_from_utf8(text_or_file));
        if (!file || !ParseHex(*file, key.data(), key.size())) {
            error = text_or_file + " is neither 64 hex digits nor a file holding them";
            return std::nullopt;
        }
    }
    if (!cyr::ed25519_public_key_valid(key.data())) {
        error = "not a valid Ed25519 public key";
        return std::nullopt;
    }
    return key;
}

std::optional<fs::path> ServedFile(const fs::path& root, const std::string& remote) {
    const std::size_t start = remote.find_first_not_of("/\\");
    if (start == std::string::npos) return std::nullopt;
    const std::string relative = remote.substr(start);
    if (!netdown::LocalPathStaysInside(relative, root, root)) return std::nullopt;
    return root / netdown::LocalPath(relative);
}

PublishReport SignVersionList(const Seed& seed, const fs::path& list, const fs::path& root,
                              std::optional<std::uint64_t> serial) {
    PublishReport report;
    const auto text = ReadFileBytes(list);
    if (!text) {
        report.error = platform::path_to_utf8(list) + " cannot be read";
        return report;
    }
    std::vector<std::pair<std::string, Sha512Digest>> digests;
    bool all_found = true;
    for (const std::string& remote : ModuleRemotePaths(*text)) {
        const auto file = ServedFile(root, remote);
        const auto digest = file ? FileDigest(*file) : std::nullopt;
        if (!digest) {
            report.modules.push_back(
                {remote, file ? "missing under the root" : "outside the root"});
            all_found = false;
            continue;
        }
        digests.push_back({remote, *digest});
        report.modules.push_back({remote, "OK"});
    }
    if (!all_found) {
        report.error = "not every module was found; nothing written";
        return report;
    }
    if (serial) {
        report.serial = *serial;
    } else {
        std::string ignored;
        const auto previous = ReadSignedLines(*text, ignored);
        const std::uint64_t now = static_cast<std::uint64_t>(std::time(nullptr));
        report.serial = std::max(previous ? previous->serial + 1 : 1, now);
    }
    const std::string signed_text = WithSignedLines(*text, report.serial, digests);
    const std::vector<std::string> lines = TextLines(signed_text);
    for (std::size_t i = 0; i + 1 < lines.size(); ++i)
        if (lines[i].back() != '\n') {
            report.error = "a line is longer than 1,023 bytes; nothing written";
            return report;
        }
    Signature signature{};
    cyr::ed25519_sign(seed.data(), reinterpret_cast<const std::uint8_t*>(signed_text.data()),
                      signed_text.size(), signature.data());
    if (!WriteStaged(list, signed_text) ||
        !WriteStaged(platform::path_from_utf8(SignatureFile(list)), SignatureFileText(signature))) {
        report.error = "the signed list or its signature could not be written";
        return report;
    }
    report.ok = true;
    return report;
}

PublishReport VerifyVersionList(const PublicKey& key, const fs::path& list,
                                const std::optional<fs::path>& root) {
    PublishReport report;
    const auto text = ReadFileBytes(list);
    const auto signature_text = ReadFileBytes(platform::path_from_utf8(SignatureFile(list)));
    Signature signature{};
    if (!text || !signature_text) {
        report.error = "the list or its .sig file cannot be read";
        return report;
    }
    if (!ParseHex(*signature_text, signature.data(), signature.size()) ||
        !cyr::ed25519_verify(key.data(), reinterpret_cast<const std::uint8_t*>(text->data()),
                             text->size(), signature.data())) {
        report.error = "the signature does not match the list";
        return report;
    }
    std::string error;
    const auto lines = ReadSignedLines(*text, error);
    if (!lines) {
        report.error = "the signed list holds " + error;
        return report;
    }
    report.serial = lines->serial;
    report.ok = true;
    for (const std::string& remote : ModuleRemotePaths(*text)) {
        const auto signed_digest = lines->digests.find(remote);
        std::string state = "OK";
        if (signed_digest == lines->digests.end()) {
            state = "no SHA-512 in the list";
        } else if (root) {
            const auto file = ServedFile(*root, remote);
            const auto digest = file ? FileDigest(*file) : std::nullopt;
            if (!digest)
                state = "missing under the root";
            else if (*digest != signed_digest->second)
                state = "SHA-512 differs";
        }
        if (state != "OK") report.ok = false;
        report.modules.push_back({remote, state});
    }
    if (!report.ok) report.error = "not every module matches the list";
    return report;
}

}  // namespace updater
