// Damaged and hostile inputs through the decrypt run on real files: every
// truncation of a package or a carrying picture, and stored names that try
// to leave the output folder.
#include <gtest/gtest.h>

#include <set>

#include "package/decrypt_run.h"
#include "package/encrypt_run.h"
#include "package/file_io.h"
#include "package/messages.h"
#include "package/stego.h"
#include "package/writer.h"
#include "run_fixture.h"

namespace package {
namespace {

namespace fs = std::filesystem;
using testing_support::ScriptedUi;

class HostileTest : public testing_support::ScratchDir {
  protected:
    // Decrypts one file; returns the last message shown.
    std::string decrypt_one(const fs::path& input, const fs::path& out) {
        ScriptedUi ui;
        ui.passwords.push_back("secret1");
        DecryptRequest req;
        req.inputs = {input};
        req.output_folder = out;
        DecryptResult r = run_decrypt(req, ui, {});
        EXPECT_FALSE(r.finished && r.key_found && r.refused == 0) << "accepted a damaged input";
        return ui.messages.empty() ? std::string() : ui.messages.back();
    }

    std::vector<fs::path> files_under(const fs::path& root) {
        std::vector<fs::path> v;
        for (const auto& e : fs::recursive_directory_iterator(root))
            if (e.is_regular_file()) v.push_back(e.path());
        return v;
    }
};

const std::set<std::string>& refusals() {
    static const std::set<std::string> s = {
        msg::kCountRead,        msg::kFlagRead,         msg::kMessageLengthRead,
        msg::kMessageRead,      msg::kNameLengthRead,   msg::kNameRead,
        msg::kFileLengthRead,   msg::kHeaderLengthRead, msg::kEncryptedMessageRead,
        msg::kNotEncrypted,     msg::kWrongCombination, msg::kPieceNumberRead,
        msg::kEncryptedFileRead};
    return s;
}

TEST_F(HostileTest, EveryTruncationOfAPackageIsRefused) {
    ScriptedUi ui;
    ui.passwords.push_back("secret1");
    EncryptRequest req;
    req.files = {write("in/a.txt", "first file"), write("in/b.txt", "second")};
    req.message = "a message";
    req.output = dir_ / "in" / "p.vlr";
    ASSERT_TRUE(run_encrypt(req, ui, {}).finished);
    const Bytes whole = *read_whole(req.output);
    for (std::size_t len = 0; len < whole.size(); ++len) {
        const fs::path cut = write("cut.vlr", Bytes(whole.begin(), whole.begin() + len));
        const std::string shown = decrypt_one(cut, dir_ / "out");
        EXPECT_TRUE(refusals().count(shown)) << len << ": " << shown;
        EXPECT_TRUE(out_files().empty()) << len;
    }
}

TEST_F(HostileTest, EveryTruncationOfACarryingPictureIsRefused) {
    ScriptedUi ui;
    ui.passwords.push_back("secret1");
    EncryptRequest req;
    req.mode = EncryptMode::Pictures;
    req.message = "hidden";
    req.pictures = {picture("one.bmp", 1200, 7)};
    ASSERT_TRUE(run_encrypt(req, ui, {}).finished) << ui.messages.back();
    const Bytes whole = *read_whole(req.pictures[0]);
    for (std::size_t len = 0; len < whole.size(); ++len) {
        Bytes cut(whole.begin(), whole.begin() + len);
        const std::string plain = decrypt_one(write("cut.bmp", cut), dir_ / "out");
        EXPECT_TRUE(refusals().count(plain)) << len << ": " << plain;
        EXPECT_TRUE(out_files().empty()) << len;
        // The same cut still ending in the marker: refused unless the cut
        // only took cover bytes after the last hidden bit.
        cut.push_back('9');
        cut.push_back('7');
        Bytes piece, whole_piece;
        ASSERT_TRUE(extract_piece(whole, whole_piece));
        if (extract_piece(cut, piece) && piece == whole_piece) continue;
        const std::string marked = decrypt_one(write("cut.bmp", cut), dir_ / "out");
        EXPECT_TRUE(refusals().count(marked)) << len << " marked: " << marked;
        EXPECT_TRUE(out_files().empty()) << len;
    }
}

TEST_F(HostileTest, StoredNamesStayInsideTheOutputFolder) {
    KeySource source;
    source.password = SecretBytes(Bytes{'s', 'e', 'c', 'r', 'e', 't', '1'});
    RunKeys keys;
    ASSERT_EQ(make_run_keys(Arrangement::Package, source, keys), "");
    const fs::path content = write("in/content", "payload");
    struct Case {
        const char* stored;
        const char* lands;  // nullptr: refused
    } cases[] = {
        {"..\\..\\x", "x"},   {"/etc/x", "x"}, {"a/../../b", "b"},
        {"C:\\x\\", nullptr}, {"..", nullptr}, {"C:\\docs\\a.txt", "a.txt"},
    };
    const fs::path out = dir_ / "out" / "deep" / "inner";
    for (const Case& c : cases) {
        fs::remove_all(dir_ / "out");
        fs::create_directories(out);
        const std::string stored = c.stored;
        SourceFile file{content, Bytes(stored.begin(), stored.end()), 7};
        {
            FilePtr f = open_file(dir_ / "evil.vlr", "wb");
            ASSERT_EQ(write_package(f.get(), {file}, {}, keys, {}), "");
        }
        ScriptedUi ui;
        ui.passwords.push_back("secret1");
        DecryptRequest req;
        req.inputs = {dir_ / "evil.vlr"};
        req.output_folder = out;
        run_decrypt(req, ui, {});
        const std::vector<fs::path> written = files_under(dir_ / "out");
        if (c.lands == nullptr) {
            EXPECT_TRUE(written.empty()) << c.stored;
            EXPECT_EQ(ui.messages.back(), msg::kNameRead) << c.stored;
        } else {
            ASSERT_EQ(written.size(), 1u) << c.stored;
            EXPECT_EQ(written[0], out / c.lands) << c.stored;
        }
        EXPECT_FALSE(fs::exists(dir_ / "x"));
        EXPECT_FALSE(fs::exists(dir_ / "b"));
    }
}

}  // namespace
}  // namespace package
