// Encrypt and decrypt runs through real files and a scripted user: round
// trips in every mode, algorithm and protection, and the refusals.
#include <gtest/gtest.h>

#include <algorithm>

#include "package/codepage.h"
#include "package/decrypt_run.h"
#include "package/encrypt_run.h"
#include "package/file_io.h"
#include "package/keys.h"
#include "package/messages.h"
#include "package/stego.h"
#include "run_fixture.h"
#include "toolkit/cyr.h"

namespace package {
namespace {

namespace fs = std::filesystem;
using testing_support::ScriptedUi;

class RunTest : public testing_support::ScratchDir {
  protected:
    EncryptResult encrypt(EncryptRequest req, std::optional<std::string> password = "secret1") {
        if (!req.sharing) ui_.passwords.push_back(password);
        return run_encrypt(req, ui_, services_);
    }
    DecryptResult decrypt(std::vector<fs::path> inputs, std::string password = "secret1",
                          bool delete_inputs = false) {
        DecryptRequest req;
        req.inputs = std::move(inputs);
        req.output_folder = dir_ / "out";
        req.delete_inputs = delete_inputs;
        ui_.passwords.push_back(password);
        return run_decrypt(req, ui_, services_);
    }
    // Writes a shared-key file for a password, as key creation does.
    fs::path shared_key(const std::string& name, const std::string& password) {
        Bytes pub;
        SecretBytes priv;
        Status s = DeriveSharedKeyPair(Bytes(password.begin(), password.end()), pub, priv);
        EXPECT_EQ(s, 0u);
        return write(fs::path("keys") / (name + ".lck"), pub);
    }

    ScriptedUi ui_;
    std::vector<fs::path> erased_;
    std::vector<std::string> log_;
    RunServices services_{[this](const fs::path& p) {
                              erased_.push_back(p);
                              std::error_code ec;
                              return fs::remove(p, ec);
                          },
                          [this](const std::string& line) { log_.push_back(line); },
                          {}};
};

TEST_F(RunTest, RoundTripEveryModeAndAlgorithm) {
    const std::string big = random_text(300000, 1);
    struct Case {
        EncryptMode mode;
        Algorithm algorithm;
        bool message;
        bool files;
    } cases[] = {
        {EncryptMode::Package, Algorithm::Seed, false, true},
        {EncryptMode::Package, Algorithm::Aria, true, true},
        {EncryptMode::Package, Algorithm::Aes, true, false},
        {EncryptMode::EachFile, Algorithm::Seed, true, true},
        {EncryptMode::EachFile, Algorithm::Aria, false, true},
        {EncryptMode::EachFile, Algorithm::Aes, true, false},
        {EncryptMode::Pictures, Algorithm::Seed, true, true},
        {EncryptMode::Pictures, Algorithm::Aria, false, true},
        {EncryptMode::Pictures, Algorithm::Aes, true, false},
    };
    int round = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(round);
        fs::remove_all(dir_ / "in");
        fs::remove_all(dir_ / "out");
        fs::remove_all(dir_ / "pics");
        fs::create_directories(dir_ / "out");
        fs::create_directories(dir_ / "in");
        ui_ = ScriptedUi{};
        EncryptRequest req;
        req.mode = c.mode;
        req.algorithm = c.algorithm;
        if (c.files) {
            req.files = {write(u8"in/보고서.txt", std::string("한글 내용")), write("in/empty", ""),
                         write("in/big.bin", big)};
        }
        if (c.message) req.message = "안녕하세요, 메세지입니다.";
        if (c.mode == EncryptMode::Pictures) {
            for (int i = 0; i < 4; ++i)
                req.pictures.push_back(picture("p" + std::to_string(i) + ".bmp", 900000, i + 10));
        } else if (c.mode == EncryptMode::Package) {
            req.output = dir_ / "in" / "pkg.vlr";
        } else {
            req.output = dir_ / "in" / u8"메세지파일.vlr";
        }
        EncryptResult er = encrypt(req);
        ASSERT_TRUE(er.finished) << (ui_.messages.empty() ? "-" : ui_.messages.back());

        std::vector<fs::path> inputs = c.mode == EncryptMode::Pictures ? req.pictures : er.outputs;
        std::reverse(inputs.begin(), inputs.end());  // any order
        DecryptResult dr = decrypt(inputs);
        ASSERT_TRUE(dr.finished) << (ui_.messages.empty() ? "" : ui_.messages.back());
        EXPECT_EQ(ui_.messages.back(), msg::kDecrypted);
        if (c.files) {
            EXPECT_EQ(read(dir_ / "out" / u8"보고서.txt"), "한글 내용");
            EXPECT_EQ(read(dir_ / "out" / "empty"), "");
            EXPECT_EQ(read(dir_ / "out" / "big.bin"), big);
        }
        if (c.message) {
            fs::path m = c.mode == EncryptMode::Package    ? u8"꾸러미_메세지.txt"
                         : c.mode == EncryptMode::EachFile ? u8"메세지파일.txt"
                                                           : u8"스테가노_메세지.txt";
#ifdef _WIN32
            // Windows keeps the message in the system's code page.
            const Bytes expected = *to_codepage("안녕하세요, 메세지입니다.");
            EXPECT_EQ(read(dir_ / "out" / m), std::string(expected.begin(), expected.end()));
#else
            EXPECT_EQ(read(dir_ / "out" / m), "안녕하세요, 메세지입니다.");
#endif
        }
        ++round;
    }
}

TEST_F(RunTest, SharedPackageOpensForEachOfThreeRecipients) {
    std::vector<fs::path> keys;
    for (const char* who : {"alice", "bob", "carol"}) {
        keys.push_back(shared_key(who, std::string(who) + "-pw"));
    }
    for (EncryptMode mode : {EncryptMode::Package, EncryptMode::EachFile}) {
        EncryptRequest req;
        req.mode = mode;
        req.sharing = true;
        req.recipients = keys;
        req.files = {write("in/shared.txt", "for three")};
        req.output = dir_ / "in" / "shared.vlr";
        req.replace_existing = true;
        EncryptResult er = encrypt(req);
        ASSERT_TRUE(er.finished) << ui_.messages.back();
        for (const char* who : {"carol", "alice", "bob"}) {
            fs::remove_all(dir_ / "out");
            fs::create_directories(dir_ / "out");
            DecryptResult dr = decrypt(er.outputs, std::string(who) + "-pw");
            ASSERT_TRUE(dr.key_found) << who;
            EXPECT_EQ(read(dir_ / "out" / "shared.txt"), "for three");
            EXPECT_EQ(log_.back(), mode == EncryptMode::Package
                                       ? path_text(req.files[0]) + "\tDecrypted Packgage(ECC)\n"
                                       : path_text(er.outputs[0]) + "\tDecrypted Each(ECC)\n");
        }
        DecryptResult wrong = decrypt(er.outputs, "mallory-pw");
        EXPECT_FALSE(wrong.key_found);
    }
}

TEST_F(RunTest, WrongPasswordOnOneOfTwoEachFileInputs) {
    EncryptRequest a;
    a.mode = EncryptMode::EachFile;
    a.files = {write("in/a.txt", "alpha")};
    EncryptRequest b = a;
    b.files = {write("in/b.txt", "beta")};
    ASSERT_TRUE(encrypt(a, "password-a").finished);
    ASSERT_TRUE(encrypt(b, "password-b").finished);
    const fs::path va = dir_ / "in" / "a.txt.vlr", vb = dir_ / "in" / "b.txt.vlr";
    ui_.messages.clear();
    DecryptResult r = decrypt({va, vb}, "password-b", true);
    EXPECT_TRUE(r.finished);
    EXPECT_EQ(ui_.messages.front(), path_text(va) + msg::kWrongPasswordSuffix);
    EXPECT_EQ(ui_.messages.back(), msg::kDecrypted);
    EXPECT_FALSE(fs::exists(dir_ / "out" / "a.txt"));
    EXPECT_EQ(read(dir_ / "out" / "b.txt"), "beta");
    // Only the input that opened is deleted.
    EXPECT_EQ(erased_, std::vector<fs::path>{vb});
}

TEST_F(RunTest, DeletesSourcesOnlyAfterEveryOutputIsWritten) {
    EncryptRequest req;
    req.files = {write("in/one.txt", "1"), write("in/two.txt", "22")};
    req.output = dir_ / "in" / "both.vlr";
    req.delete_sources = true;
    ASSERT_TRUE(encrypt(req).finished);
    EXPECT_EQ(erased_, req.files);
    EXPECT_TRUE(fs::exists(req.output));
    EXPECT_EQ(ui_.messages.back(), msg::kEncryptedPackage);
    EXPECT_EQ(log_.size(), 2u);
    EXPECT_EQ(log_[0], path_text(req.files[0]) + "\tEncrypted Packgage(SEED)\n");
}

TEST_F(RunTest, ExistingOutputAsksAndCancelWritesNothing) {
    EncryptRequest req;
    req.files = {write("in/x.txt", "x")};
    req.output = write("in/taken.vlr", "keep me");
    ui_.save_answers.push_back(std::nullopt);
    EncryptResult r = encrypt(req);
    EXPECT_FALSE(r.finished);
    EXPECT_EQ(ui_.messages, (std::vector<std::string>{msg::kNameTaken, msg::kEncryptCancelled}));
    EXPECT_EQ(read(req.output), "keep me");
}

TEST_F(RunTest, RefusalsBeforeAnythingIsWritten) {
    const fs::path file = write("in/f.txt", "f");
    const fs::path small = picture("small.bmp", 2000, 3);
    const std::string small_before = read(small);
    struct Case {
        const char* name;
        EncryptRequest req;
        std::string message;
        bool asks_password;
    };
    EncryptRequest nothing;
    EncryptRequest output_is_input;
    output_is_input.files = {file};
    output_is_input.output = file;
    EncryptRequest no_pictures;
    no_pictures.mode = EncryptMode::Pictures;
    no_pictures.files = {file};
    EncryptRequest too_small = no_pictures;
    too_small.files = {write("in/large.bin", random_text(50000, 4))};
    too_small.pictures = {small};
    EncryptRequest sharing_pictures = no_pictures;
    sharing_pictures.sharing = true;
    sharing_pictures.pictures = {small};
    EncryptRequest bad_text;
    bad_text.message = "emoji \xF0\x9F\x98\x80";
    EncryptRequest too_many_recipients;
    too_many_recipients.files = {file};
    too_many_recipients.sharing = true;
    too_many_recipients.recipients.assign(129, file);

    Case cases[] = {
        {"nothing", nothing, msg::kNothingToEncrypt, false},
        {"output is input", output_is_input, msg::kOutputIsInput, true},
        {"no pictures", no_pictures, msg::kChoosePictures, false},
        {"pictures too small", too_small, msg::kPicturesTooSmall, true},
        {"sharing with pictures", sharing_pictures, msg::kSharingRefusesPictures, false},
        {"text outside code page 949", bad_text, std::string(msg::kTextNotEncodable) + "Message",
         false},
        {"129 recipients", too_many_recipients, msg::kTooManyRecipients, false},
    };
    for (Case& c : cases) {
        ui_ = ScriptedUi{};
        if (c.asks_password) ui_.passwords.push_back("secret1");
        EncryptResult r = run_encrypt(c.req, ui_, services_);
        EXPECT_FALSE(r.finished) << c.name;
        ASSERT_EQ(ui_.messages.size(), 1u) << c.name;
        EXPECT_EQ(ui_.messages[0], c.message) << c.name;
    }
    EXPECT_EQ(read(small), small_before);
    EXPECT_TRUE(erased_.empty());
}

TEST_F(RunTest, PictureSetsMustBeWholeAndUnmixed) {
    EncryptRequest req;
    req.mode = EncryptMode::Pictures;
    req.files = {write("in/secret.bin", random_text(20000, 5))};
    for (int i = 0; i < 3; ++i)
        req.pictures.push_back(picture("p" + std::to_string(i) + ".bmp", 120000, 20 + i));
    ASSERT_TRUE(encrypt(req).finished);
    EncryptRequest other;
    other.files = {write("in/plain.txt", "p")};
    other.output = dir_ / "in" / "plain.vlr";
    ASSERT_TRUE(encrypt(other).finished);

    // Which picture carries which number depends on the split; find them.
    std::vector<fs::path> by_number(3);
    for (const fs::path& p : req.pictures) {
        Bytes piece;
        ASSERT_TRUE(extract_piece(*read_whole(p), piece));
        by_number[get_u16(piece.data())] = p;
    }
    struct Case {
        const char* name;
        std::vector<fs::path> inputs;
        std::string message;
    } cases[] = {
        {"picture with package", {req.pictures[0], other.output}, msg::kMixedInputs},
        {"package with picture", {other.output, req.pictures[0]}, msg::kMixedInputs},
        {"same picture twice", {by_number[0], by_number[1], by_number[1]}, msg::kWrongCombination},
        {"middle picture missing", {by_number[0], by_number[2]}, msg::kWrongCombination},
        {"last picture missing", {by_number[0], by_number[1]}, "read error"},
        {"not encrypted", {write("in/plain.bin", "just bytes")}, msg::kNotEncrypted},
    };
    for (const Case& c : cases) {
        ui_ = ScriptedUi{};
        const bool asks = c.message != msg::kMixedInputs && c.message != msg::kNotEncrypted;
        if (asks) ui_.passwords.push_back("secret1");
        DecryptRequest d;
        d.inputs = c.inputs;
        d.output_folder = dir_ / "out";
        DecryptResult r = run_decrypt(d, ui_, services_);
        EXPECT_FALSE(r.finished) << c.name;
        ASSERT_FALSE(ui_.messages.empty()) << c.name;
        if (c.message != "read error") {
            EXPECT_EQ(ui_.messages.back(), c.message) << c.name;
        }
        EXPECT_TRUE(out_files().empty()) << c.name;
    }
}

// encrypt -m bmp -b a.bmp -b a.bmp --delete-sources secret.bin once wrote
// the second piece over the first and then wiped the only copy. A picture
// named twice (by any spelling or link) or also listed as a file to hide
// is refused before a password is asked and before anything is written.
TEST_F(RunTest, PictureNamedTwiceOrAlsoHiddenIsRefusedBeforeAnythingIsWritten) {
    const fs::path secret = write("in/secret.bin", random_text(3000, 30));
    const fs::path a = picture("a.bmp", 120000, 31);
    const fs::path b = picture("b.bmp", 120000, 32);
    fs::create_directories(dir_ / "pics" / "sub");
    const fs::path dot = dir_ / "pics" / "." / "a.bmp";
    const fs::path up = dir_ / "pics" / "sub" / ".." / "a.bmp";
    // Links where the system lets this user make them.
    const fs::path hard = dir_ / "pics" / "hard.bmp";
    std::error_code no_hard_links, no_symlinks;
    fs::create_hard_link(a, hard, no_hard_links);
    const fs::path soft = dir_ / "pics" / "soft.bmp";
    fs::create_symlink(a, soft, no_symlinks);
    const std::string secret_before = read(secret), a_before = read(a), b_before = read(b);

    auto twice = [](const fs::path& p) {
        return std::string(msg::kDuplicateFile) + "\n" + path_text(p);
    };
    auto hidden = [](const fs::path& p) {
        return std::string(msg::kPictureIsInput) + "\n" + path_text(p);
    };
    struct Case {
        const char* name;
        std::vector<fs::path> pictures;
        std::vector<fs::path> files;
        std::string message;
    };
    std::vector<Case> cases = {
        {"same path twice", {a, a}, {secret}, twice(a)},
        {"with ./", {a, b, dot}, {secret}, twice(dot)},
        {"with dir/..", {up, b, a}, {secret}, twice(a)},
        {"picture also a file to hide", {a, b}, {secret, a}, hidden(a)},
        {"by another spelling", {b, a}, {secret, dot}, hidden(a)},
    };
    if (!no_hard_links) cases.push_back({"hard link", {a, hard}, {secret}, twice(hard)});
    if (!no_symlinks) cases.push_back({"symbolic link", {soft, b, a}, {secret}, twice(a)});
    for (const Case& c : cases) {
        ui_ = ScriptedUi{};  // no password is scripted: none may be asked
        EncryptRequest req;
        req.mode = EncryptMode::Pictures;
        req.files = c.files;
        req.pictures = c.pictures;
        req.delete_sources = true;
        EncryptResult r = run_encrypt(req, ui_, services_);
        EXPECT_FALSE(r.finished) << c.name;
        EXPECT_EQ(ui_.messages, std::vector<std::string>{c.message}) << c.name;
        EXPECT_EQ(read(secret), secret_before) << c.name;
        EXPECT_EQ(read(a), a_before) << c.name;
        EXPECT_EQ(read(b), b_before) << c.name;
        EXPECT_TRUE(erased_.empty()) << c.name;
        EXPECT_FALSE(fs::exists(dir_ / "pics" / "Steg.vlr")) << c.name;
    }
}

// After hiding, the pictures on disk are joined back and compared with the
// package before any source is given up: a picture that no longer gives
// back its piece (here changed by someone else right after it was written)
// is a failure, and the sources stay.
TEST_F(RunTest, HiddenPackageIsJoinedBackBeforeSourcesAreDeleted) {
    for (bool disturbed : {false, true}) {
        SCOPED_TRACE(disturbed);
        ui_ = ScriptedUi{};
        erased_.clear();
        const fs::path secret = write("in/secret.bin", random_text(20000, 40));
        std::vector<fs::path> pictures;
        for (int i = 0; i < 3; ++i)
            pictures.push_back(
                picture(std::string("p") + std::to_string(i) + ".bmp", 120000, 41 + i));
        if (disturbed) {
            ui_.on_progress = [&](std::uint64_t position, std::uint64_t range) {
                if (ui_.last_status != msg::kHidingStatus || position != range) return;
                std::string carrying = read(pictures[0]);
                carrying[86] = static_cast<char>(carrying[86] ^ 1);  // first hidden bit
                write(fs::path("pics") / "p0.bmp", carrying);
            };
        }
        EncryptRequest req;
        req.mode = EncryptMode::Pictures;
        req.files = {secret};
        req.pictures = pictures;
        req.delete_sources = true;
        EncryptResult r = encrypt(req);
        const bool secret_erased =
            std::find(erased_.begin(), erased_.end(), secret) != erased_.end();
        if (!disturbed) {
            EXPECT_TRUE(r.finished);
            EXPECT_EQ(ui_.messages.back(), msg::kEncryptedPackage);
            EXPECT_TRUE(secret_erased);
            continue;
        }
        EXPECT_FALSE(r.finished);
        EXPECT_EQ(ui_.messages, std::vector<std::string>{msg::kHiddenMismatch});
        EXPECT_FALSE(secret_erased);
        EXPECT_EQ(read(secret), random_text(20000, 40));
    }
}

// Two entries with one file name from different stored folders once
// decrypted into one output, the second replacing the first even without
// --force, and the package was then wiped. An output written earlier in the
// run is never replaced: the user is told and asked for another name (the
// command line has no dialog, which is a cancel), and a package not
// decrypted whole is kept.
TEST_F(RunTest, AnOutputWrittenEarlierInTheRunIsNeverReplaced) {
    EncryptRequest pack;
    pack.files = {write("in/d1/report.txt", "first report"),
                  write("in/d2/report.txt", "second report")};
    pack.output = dir_ / "in" / "both.vlr";
    ASSERT_TRUE(encrypt(pack).finished);
    EncryptRequest each;
    each.mode = EncryptMode::EachFile;
    each.files = {write("in/e1/x.txt", "first x")};
    ASSERT_TRUE(encrypt(each).finished);
    each.files = {write("in/e2/x.txt", "second x")};
    ASSERT_TRUE(encrypt(each).finished);
    const std::vector<fs::path> items = {dir_ / "in" / "e1" / "x.txt.vlr",
                                         dir_ / "in" / "e2" / "x.txt.vlr"};

    struct Case {
        const char* name;
        std::vector<fs::path> inputs;
        const char* output;
        const char* first;
        const char* second;
        std::optional<fs::path> other_name;  // the save dialog's answer
    } cases[] = {
        {"package, no dialog", {pack.output}, "report.txt", "first report", "second report", {}},
        {"items, no dialog", items, "x.txt", "first x", "second x", {}},
        {"package, another name",
         {pack.output},
         "report.txt",
         "first report",
         "second report",
         dir_ / "out" / "report(2).txt"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove_all(dir_ / "out");
        fs::create_directories(dir_ / "out");
        ui_ = ScriptedUi{};
        erased_.clear();
        ui_.save_answers.push_back(c.other_name);
        std::vector<std::string> before;
        for (const fs::path& in : c.inputs) before.push_back(read(in));
        DecryptRequest d;
        d.inputs = c.inputs;
        d.output_folder = dir_ / "out";
        d.replace_existing = true;  // --force
        d.delete_inputs = true;     // --delete-sources
        ui_.passwords.push_back("secret1");
        DecryptResult r = run_decrypt(d, ui_, services_);
        const fs::path first = dir_ / "out" / c.output;
        ASSERT_FALSE(ui_.messages.empty());
        EXPECT_EQ(ui_.messages.front(),
                  std::string(msg::kWrittenThisRun) + "\n" + path_text(first));
        EXPECT_EQ(ui_.messages.back(), msg::kDecrypted);
        EXPECT_EQ(read(first), c.first);
        if (c.other_name) {
            EXPECT_EQ(r.skipped, 0u);
            EXPECT_EQ(read(*c.other_name), c.second);
            EXPECT_EQ(erased_, c.inputs);
            continue;
        }
        EXPECT_EQ(r.skipped, 1u);
        EXPECT_EQ(out_files().size(), 1u);
        // The first item was decrypted whole and may go; what was not stays.
        EXPECT_EQ(erased_, std::vector<fs::path>(c.inputs.begin(), c.inputs.end() - 1));
        EXPECT_EQ(read(c.inputs.back()), before.back());
    }
}

// The each-file mode's message item and a file's item proposed under one
// name: the second never replaces the first, even when replacing is on.
TEST_F(RunTest, EachFileItemsNeverShareAnOutput) {
    const fs::path a = write("in/a.txt", "file a");
    EncryptRequest req;
    req.mode = EncryptMode::EachFile;
    req.message = "memo";
    req.files = {a};
    req.output = dir_ / "in" / "a.txt.vlr";
    req.replace_existing = true;
    req.delete_sources = true;
    ui_.save_answers.push_back(std::nullopt);
    EncryptResult r = encrypt(req);
    EXPECT_EQ(r.skipped, 1u);
    EXPECT_EQ(ui_.messages.front(),
              std::string(msg::kWrittenThisRun) + "\n" + path_text(a) + ".vlr");
    EXPECT_EQ(read(a), "file a");
    EXPECT_TRUE(erased_.empty());
    ASSERT_TRUE(decrypt({req.output}).finished);
    EXPECT_EQ(read(dir_ / "out" / "a.txt"), "memo");
}

}  // namespace
}  // namespace package
