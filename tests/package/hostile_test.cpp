// Damaged and hostile inputs through the decrypt run on real files: every
// truncation of a package or a carrying picture, and stored names that try
// to leave the output folder.
#include <gtest/gtest.h>

#include <set>

#include "package/decrypt_run.h"
#include "package/encrypt_run.h"
#include "package/file_io.h"
#include "package/messages.h"
#include "package/reader.h"
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
        {"..\\..\\x", "x"},
        {"/etc/x", "x"},
        {"a/../../b", "b"},
        {"C:\\x\\", nullptr},
        {"..", nullptr},
        {"C:\\docs\\a.txt", "a.txt"},
        // Names Windows would open as a device or change, made plain the
        // same way on every system.
        {"C:\\docs\\CON", "CON_"},
        {"D:\\nul.txt", "nul_.txt"},
        {"C:\\lpt1.tar.gz", "lpt1_.tar.gz"},
        {"C:\\dots.", "dots._"},
        {"C:\\.. ", ".. _"},
        {"C:\\x?y*<z>", "x_y__z_"},
        {"C:\\c:stream", "c_stream"},
        {"C:\\bad\nname", "bad_name"},
        {"C:\\esc\x1b[2J", "esc_[2J"},
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

// A package whose last entry's CT was lowered once decrypted to a short or
// empty file and reported success. R no longer equals H + 24 + CT: the
// package is damaged, nothing is written, and the package stays even with
// --force and --delete-sources.
TEST_F(HostileTest, LoweredCiphertextLengthWritesNothingAndKeepsThePackage) {
    ScriptedUi ui;
    ui.passwords.push_back("secret1");
    EncryptRequest req;
    req.files = {write("in/a.txt", "first file"), write("in/last.bin", random_text(40, 9))};
    req.output = dir_ / "in" / "p.vlr";
    ASSERT_TRUE(run_encrypt(req, ui, {}).finished);
    const Bytes whole = *read_whole(req.output);
    MemorySource src(whole);
    const Outline outline = read_package(src);
    ASSERT_EQ(outline.error, "");
    const std::size_t ct_at = static_cast<std::size_t>(outline.entries.back().body_offset) - 20;
    ASSERT_EQ(get_u32(&whole[ct_at]), 40u);

    for (std::uint32_t lowered : {0u, 1u, 15u, 16u, 39u}) {
        SCOPED_TRACE(lowered);
        Bytes lying = whole;
        set_u32(&lying[ct_at], lowered);
        const fs::path package = write("lying.vlr", lying);
        std::vector<fs::path> erased;
        RunServices services{[&](const fs::path& p) {
                                 erased.push_back(p);
                                 return fs::remove(p);
                             },
                             {},
                             {}};
        ScriptedUi dui;
        dui.passwords.push_back("secret1");
        DecryptRequest d;
        d.inputs = {package};
        d.output_folder = dir_ / "out";
        d.replace_existing = true;
        d.delete_inputs = true;
        DecryptResult r = run_decrypt(d, dui, services);
        EXPECT_FALSE(r.finished);
        EXPECT_EQ(dui.messages, std::vector<std::string>{msg::kFileLengthRead});
        EXPECT_TRUE(out_files().empty());
        EXPECT_TRUE(erased.empty());
        EXPECT_EQ(*read_whole(package), lying);
    }
}

// A stored name carrying a line feed and a tab once forged a second line
// in the activity log; the log shows them escaped.
TEST_F(HostileTest, StoredNamesCannotForgeLogLines) {
    KeySource source;
    source.password = SecretBytes(Bytes{'s', 'e', 'c', 'r', 'e', 't', '1'});
    RunKeys keys;
    ASSERT_EQ(make_run_keys(Arrangement::Package, source, keys), "");
    const std::string stored = "C:\\a\n2026-1-1 0:0:0\tforged.txt\x1b[2J";
    SourceFile file{write("in/content", "payload"), Bytes(stored.begin(), stored.end()), 7};
    {
        FilePtr f = open_file(dir_ / "evil.vlr", "wb");
        ASSERT_EQ(write_package(f.get(), {file}, {}, keys, {}), "");
    }
    std::vector<std::string> log;
    RunServices services{{}, [&](const std::string& line) { log.push_back(line); }, {}};
    ScriptedUi ui;
    ui.passwords.push_back("secret1");
    DecryptRequest req;
    req.inputs = {dir_ / "evil.vlr"};
    req.output_folder = dir_ / "out";
    EXPECT_TRUE(run_decrypt(req, ui, services).finished);
    EXPECT_EQ(log, std::vector<std::string>{"C:\\a\\x0A2026-1-1 0:0:0\\x09forged.txt\\x1B[2J"
                                            "\tDecrypted Packgage(SEED)\n"});
    EXPECT_EQ(read(dir_ / "out" / "a_2026-1-1 0_0_0_forged.txt_[2J"), "payload");
}

}  // namespace
}  // namespace package
