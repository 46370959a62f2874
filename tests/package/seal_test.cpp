// Packages and each-file items written with the toolkit, checked byte by
// byte against OpenSSL's SEED, AES and ARIA in CFB mode and its SHA-1.
#include <gtest/gtest.h>
#include <openssl/evp.h>
#include <openssl/provider.h>
#include <openssl/sha.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "package/file_io.h"
#include "package/messages.h"
#include "package/reader.h"
#include "package/writer.h"
#include "tests/support/temp_folder.h"

namespace package {
namespace {

namespace fs = std::filesystem;

Bytes bytes_of(const std::string& s) {
    return Bytes(s.begin(), s.end());
}

// 128-bit CFB with a zero IV through OpenSSL.
Bytes openssl_cfb(const char* name, const Bytes& key, const Bytes& in, bool encrypt) {
    EVP_CIPHER* cipher = EVP_CIPHER_fetch(nullptr, name, nullptr);
    if (cipher == nullptr) return {};
    EVP_CIPHER_CTX* ctx = EVP_CIPHER_CTX_new();
    const unsigned char iv[16] = {};
    Bytes out(in.size() + 16);
    int n = 0, tail = 0;
    EVP_CipherInit_ex(ctx, cipher, nullptr, key.data(), iv, encrypt ? 1 : 0);
    EVP_CipherUpdate(ctx, out.data(), &n, in.data(), static_cast<int>(in.size()));
    EVP_CipherFinal_ex(ctx, out.data() + n, &tail);
    out.resize(static_cast<std::size_t>(n + tail));
    EVP_CIPHER_CTX_free(ctx);
    EVP_CIPHER_free(cipher);
    return out;
}

class SealTest : public ::testing::Test {
  protected:
    void SetUp() override {
        // Loaded once for the whole program; SEED lives in the legacy provider.
        static OSSL_PROVIDER* const legacy = OSSL_PROVIDER_load(nullptr, "legacy");
        static OSSL_PROVIDER* const standard = OSSL_PROVIDER_load(nullptr, "default");
        (void)legacy;
        (void)standard;
        EVP_CIPHER* seed = EVP_CIPHER_fetch(nullptr, "SEED-CFB", nullptr);
        ASSERT_NE(seed, nullptr) << "OpenSSL has no SEED: its legacy provider is missing";
        EVP_CIPHER_free(seed);
    }

    fs::path write_file(const std::string& name, const std::string& content) {
        fs::path p = dir_ / name;
        test_support::write_file(p, content);
        return p;
    }

    RunKeys password_keys(Arrangement arrangement, Algorithm algorithm) {
        KeySource source;
        source.password = SecretBytes(bytes_of(password_));
        source.algorithm = algorithm;
        RunKeys keys;
        EXPECT_EQ(make_run_keys(arrangement, source, keys), "");
        return keys;
    }

    // The session key, recovered independently from the key header.
    Bytes session_key_of(const Bytes& header, const char* wrap_cipher) {
        unsigned char digest[20];
        SHA1(reinterpret_cast<const unsigned char*>(password_.data()), password_.size(), digest);
        Bytes kek(digest, digest + 16);
        Bytes wrapped(header.begin() + 14, header.begin() + 30);
        return openssl_cfb(wrap_cipher, kek, wrapped, false);
    }

    Bytes package_bytes(const std::vector<SourceFile>& files, const std::string& message,
                        const RunKeys& keys) {
        fs::path out = dir_ / "out.vlr";
        {
            FilePtr f = open_file(out, "wb");
            Bytes m = bytes_of(message);
            EXPECT_EQ(write_package(f.get(), files, m, keys, {}), "");
        }
        return *read_whole(out);
    }

    test_support::TempFolder folder_;
    const fs::path dir_ = folder_.path();
    std::string password_ = "secret1";
};

TEST_F(SealTest, OneFivebyteFileIs83BytesFieldByField) {
    RunKeys keys = password_keys(Arrangement::Package, Algorithm::Seed);
    fs::path src = write_file("b.txt", "hello");
    Bytes p = package_bytes({{src, bytes_of("C:\\a\\b.txt"), 5}}, "", keys);
    ASSERT_EQ(p.size(), 83u);
    EXPECT_EQ(Bytes(p.begin(), p.begin() + 4), (Bytes{1, 0, '1', 0}));
    EXPECT_EQ(get_u32(&p[4]), 10u);
    EXPECT_EQ(std::string(p.begin() + 8, p.begin() + 18), "C:\\a\\b.txt");
    EXPECT_EQ(get_u32(&p[18]), 61u);  // R = 32 + 24 + 5
    EXPECT_EQ(get_u32(&p[22]), 32u);  // H
    Bytes header(p.begin() + 26, p.begin() + 58);
    EXPECT_EQ(std::string(header.begin(), header.begin() + 8), "CyEPX1.0");
    EXPECT_EQ(Bytes(header.begin() + 8, header.begin() + 14), (Bytes{1, 0, 18, 0, 16, 0}));
    EXPECT_EQ(Bytes(header.begin() + 30, header.end()), (Bytes{18, 0}));
    EXPECT_EQ(get_u32(&p[58]), 5u);  // CT

    Bytes session = session_key_of(header, "SEED-CFB");
    ASSERT_EQ(session.size(), 16u);
    EXPECT_EQ(Bytes(p.begin() + 62, p.begin() + 78),
              openssl_cfb("SEED-CFB", session, Bytes(16, 0), true));
    EXPECT_EQ(Bytes(p.begin() + 78, p.end()),
              openssl_cfb("SEED-CFB", session, bytes_of("hello"), true));
}

TEST_F(SealTest, EveryAlgorithmWrapsTheKeyButDataStaySeed) {
    struct Case {
        Algorithm algorithm;
        std::uint8_t slot;
        const char* wrap;
    } cases[] = {{Algorithm::Seed, 18, "SEED-CFB"},
                 {Algorithm::Aria, 46, "ARIA-128-CFB"},
                 {Algorithm::Aes, 39, "AES-128-CFB"}};
    std::string content(100000, '\0');
    for (std::size_t i = 0; i < content.size(); ++i) content[i] = static_cast<char>(i * 7);
    fs::path src = write_file("big.bin", content);
    for (const Case& c : cases) {
        RunKeys keys = password_keys(Arrangement::Package, c.algorithm);
        Bytes p = package_bytes({{src, bytes_of("big.bin"), content.size()}}, "", keys);
        const std::size_t h = 4 + 4 + 7 + 4 + 4;
        Bytes header(p.begin() + h, p.begin() + h + 32);
        EXPECT_EQ(header[10], c.slot);
        Bytes session = session_key_of(header, c.wrap);
        Bytes ct(p.begin() + h + 32 + 20, p.end());
        EXPECT_EQ(ct, openssl_cfb("SEED-CFB", session, bytes_of(content), true)) << c.wrap;
    }
}

TEST_F(SealTest, MessageOnlyPackage) {
    RunKeys keys = password_keys(Arrangement::Package, Algorithm::Seed);
    Bytes p = package_bytes({}, "안녕", keys);
    const std::size_t m = std::string("안녕").size();
    ASSERT_EQ(p.size(), 4 + 8 + 32 + 20 + m);
    EXPECT_EQ(Bytes(p.begin(), p.begin() + 4), (Bytes{1, 0, '0', 0}));
    EXPECT_EQ(get_u32(&p[4]), 32 + 24 + m);
    EXPECT_EQ(get_u32(&p[8]), 32u);
    EXPECT_EQ(std::string(p.begin() + 12, p.begin() + 20), "CyEPX1.0");
    MemorySource src(p);
    EXPECT_EQ(detect_kind(src), InputKind::Package);
}

TEST_F(SealTest, EachFileItemOfEmptyFileKeepsCheckBlock) {
    RunKeys keys = password_keys(Arrangement::EachFile, Algorithm::Seed);
    fs::path src = write_file("empty.txt", "");
    fs::path out = dir_ / "empty.txt.vlr";
    {
        FilePtr f = open_file(out, "wb");
        SourceFile file{src, bytes_of("empty.txt"), 0};
        ASSERT_EQ(write_each_file_item(f.get(), &file, {}, keys, {}), "");
    }
    Bytes p = *read_whole(out);
    ASSERT_EQ(p.size(), 6u + 32 + 20);
    EXPECT_EQ(Bytes(p.begin(), p.begin() + 2), (Bytes{'1', 0}));
    EXPECT_EQ(std::string(p.begin() + 6, p.begin() + 14), "CyEEX1.0");
    EXPECT_EQ(get_u32(&p[38]), 0u);
    Bytes session = session_key_of(Bytes(p.begin() + 6, p.begin() + 38), "SEED-CFB");
    EXPECT_EQ(Bytes(p.begin() + 42, p.end()), openssl_cfb("SEED-CFB", session, Bytes(16, 0), true));
}

TEST_F(SealTest, RecoveryFindsTheKeyOnlyWithTheRightPassword) {
    RunKeys keys = password_keys(Arrangement::Package, Algorithm::Aria);
    KeyHeader header;
    std::uint32_t ct = 0;
    Bytes buf = keys.header;
    put_u32(buf, 0);
    ASSERT_TRUE(parse_key_header(buf, header, ct));

    PasswordKeys right(bytes_of(password_));
    Recovery r = recover_session_key(header, keys.check, right);
    EXPECT_TRUE(r.found);
    EXPECT_EQ(r.slot_kind, kSlotAria);
    EXPECT_EQ(r.session_key, keys.session_key);

    PasswordKeys wrong(bytes_of("secret2"));
    r = recover_session_key(header, keys.check, wrong);
    EXPECT_FALSE(r.found);
    EXPECT_EQ(r.error, "");

    KeyHeader reserved = header;
    reserved.slots = {{kSlotReserved, Bytes(16, 1)}, {kSlotReserved, Bytes(3, 1)}};
    r = recover_session_key(reserved, keys.check, right);
    EXPECT_FALSE(r.found);
    EXPECT_EQ(r.error, "");

    KeyHeader unknown = header;
    unknown.slots.insert(unknown.slots.begin(), {7, Bytes(16, 1)});
    r = recover_session_key(unknown, keys.check, right);
    EXPECT_FALSE(r.found);
    EXPECT_EQ(r.error, msg::kAlgorithmRead);
}

TEST_F(SealTest, TwoRunsDifferOnlyInKeyMaterial) {
    fs::path src = write_file("x.txt", "same content");
    std::vector<SourceFile> files{{src, bytes_of("x.txt"), 12}};
    Bytes a = package_bytes(files, "", password_keys(Arrangement::Package, Algorithm::Seed));
    Bytes b = package_bytes(files, "", password_keys(Arrangement::Package, Algorithm::Seed));
    ASSERT_EQ(a.size(), b.size());
    const std::size_t wrapped = 4 + 4 + 5 + 4 + 4 + 14;
    EXPECT_EQ(Bytes(a.begin(), a.begin() + wrapped), Bytes(b.begin(), b.begin() + wrapped));
    EXPECT_NE(Bytes(a.begin() + wrapped, a.begin() + wrapped + 16),
              Bytes(b.begin() + wrapped, b.begin() + wrapped + 16));
    EXPECT_NE(Bytes(a.end() - 12, a.end()), Bytes(b.end() - 12, b.end()));
}

}  // namespace
}  // namespace package
