// vellora-cli scripted end to end: the commands other programs run, their
// exit status and the texts they print.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "tests/support/shell_command.h"
#include "tests/support/temp_folder.h"

namespace {

namespace fs = std::filesystem;

using test_support::Outcome;

class CliTest : public ::testing::Test {
  protected:
    void SetUp() override { write("pw", "secret12\n"); }

    Outcome cli(const std::string& args, const std::string& stdin_text = "") {
        const std::string full =
            "cd '" + dir_.string() + "' && " +
            (stdin_text.empty() ? "" : "printf '%s\\n' '" + stdin_text + "' | ") +
            "'" VELLORA_CLI "' " + args + " 2>&1" + (stdin_text.empty() ? " </dev/null" : "");
        return test_support::run_shell(full);
    }
    void write(const std::string& rel, const std::string& content) {
        fs::create_directories((dir_ / rel).parent_path());
        std::ofstream(dir_ / rel, std::ios::binary) << content;
    }
    std::string read(const std::string& rel) {
        std::ifstream in(dir_ / rel, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    bool exists(const std::string& rel) { return fs::exists(dir_ / rel); }
    void picture(const std::string& rel, std::size_t size) {
        std::string c(size, '\0');
        for (std::size_t i = 0; i < size; ++i) c[i] = static_cast<char>(i * 31 + 7);
        c[0] = 'B';
        c[1] = 'M';
        for (int i = 0; i < 4; ++i) c[2 + i] = static_cast<char>((size >> (8 * i)) & 0xFF);
        write(rel, c);
    }

    test_support::TempFolder folder_;
    const fs::path dir_ = folder_.path();
};

TEST_F(CliTest, RoundTripEveryModeAndAlgorithm) {
    write("docs/a.txt", "alpha");
    write("docs/b.bin", std::string(200000, 'b'));
    struct Case {
        const char* encrypt;
        const char* inputs;
    } cases[] = {
        {"-m package -a seed -o docs/p.vlr docs/a.txt docs/b.bin", "docs/p.vlr"},
        {"-m package -a aria -t '메세지' -o docs/p.vlr --force docs/a.txt docs/b.bin",
         "docs/p.vlr"},
        {"-m each -a aes -t '메세지' -o docs/m.vlr docs/a.txt docs/b.bin",
         "docs/m.vlr docs/a.txt.vlr docs/b.bin.vlr"},
        {"-m bmp -a seed -b pics/1.bmp -b pics/2.bmp -t '메세지' docs/a.txt docs/b.bin",
         "pics/2.bmp pics/1.bmp"},
    };
    picture("pics/1.bmp", 1200000);
    picture("pics/2.bmp", 1000000);
    for (const Case& c : cases) {
        Outcome e = cli(std::string("encrypt -p pw ") + c.encrypt);
        ASSERT_EQ(e.status, 0) << c.encrypt << "\n" << e.output;
        fs::remove_all(dir_ / "out");
        Outcome d = cli(std::string("decrypt -p pw -o out ") + c.inputs);
        ASSERT_EQ(d.status, 0) << c.inputs << "\n" << d.output;
        EXPECT_NE(d.output.find("파일을 성공적으로 풀었습니다."), std::string::npos);
        EXPECT_EQ(read("out/a.txt"), "alpha");
        EXPECT_EQ(read("out/b.bin"), std::string(200000, 'b'));
    }
}

TEST_F(CliTest, PasswordFromStandardInputAndWrongPassword) {
    write("x.txt", "x");
    ASSERT_EQ(cli("encrypt -p - -o x.vlr x.txt", "from-stdin").status, 0);
    Outcome wrong = cli("decrypt -p pw -o out x.vlr");
    EXPECT_EQ(wrong.status, 1);
    EXPECT_NE(wrong.output.find("x.vlr의 비밀번호가 맞지 않습니다."), std::string::npos);
    EXPECT_EQ(cli("decrypt -p - -o out x.vlr", "from-stdin").status, 0);
    EXPECT_EQ(read("out/x.txt"), "x");
    // No password file and no terminal to ask: a clear refusal, nothing written.
    Outcome none = cli("encrypt -o y.vlr x.txt");
    EXPECT_EQ(none.status, 1);
    EXPECT_NE(none.output.find("-p PASSFILE"), std::string::npos);
    EXPECT_FALSE(exists("y.vlr"));
}

TEST_F(CliTest, SharedKeysForThreeRecipients) {
    for (const char* who : {"alice", "bob", "carol"}) {
        write(std::string(who) + ".pw", std::string(who) + "-password\n");
        Outcome k =
            cli(std::string("key create --name ") + who + " -p " + who + ".pw --key-dir keys");
        ASSERT_EQ(k.status, 0) << k.output;
        EXPECT_EQ(fs::file_size(dir_ / "keys" / (std::string(who) + ".lck")), 43u);
    }
    write("s.txt", "shared");
    Outcome e = cli("encrypt --key-dir keys -r alice -r bob -r keys/carol.lck -o s.vlr s.txt");
    ASSERT_EQ(e.status, 0) << e.output;
    Outcome info = cli("info s.vlr");
    EXPECT_NE(info.output.find("CyEPC1.0"), std::string::npos);
    EXPECT_NE(info.output.find("11(ECC) 11(ECC) 11(ECC)"), std::string::npos);
    for (const char* who : {"bob", "carol", "alice"}) {
        fs::remove_all(dir_ / "out");
        Outcome d = cli(std::string("decrypt -p ") + who + ".pw -o out s.vlr");
        EXPECT_EQ(d.status, 0) << who << d.output;
        EXPECT_EQ(read("out/s.txt"), "shared");
    }
    EXPECT_EQ(cli("key create --name alice -p pw --key-dir keys").status, 1);
}

TEST_F(CliTest, ExistingOutputsNeedForce) {
    write("a.txt", "a");
    ASSERT_EQ(cli("encrypt -p pw -o a.vlr a.txt").status, 0);
    Outcome again = cli("encrypt -p pw -o a.vlr a.txt");
    EXPECT_EQ(again.status, 1);
    EXPECT_NE(again.output.find("동일한 파일명이 있습니다."), std::string::npos);
    EXPECT_EQ(cli("encrypt -p pw -o a.vlr --force a.txt").status, 0);
    ASSERT_EQ(cli("decrypt -p pw -o out a.vlr").status, 0);
    EXPECT_EQ(cli("decrypt -p pw -o out a.vlr").status, 1);
    EXPECT_EQ(cli("decrypt -p pw -o out --force a.vlr").status, 0);
    // An output that is one of the inputs is refused.
    EXPECT_EQ(cli("encrypt -p pw -o a.txt --force a.txt").status, 1);
    EXPECT_EQ(read("a.txt"), "a");
}

TEST_F(CliTest, DeleteSourcesWipeAndInfo) {
    write("gone.txt", "will be wiped");
    ASSERT_EQ(cli("encrypt -p pw -o gone.vlr --delete-sources gone.txt").status, 0);
    EXPECT_FALSE(exists("gone.txt"));
    Outcome info = cli("info gone.vlr");
    EXPECT_EQ(info.status, 0);
    EXPECT_NE(info.output.find("gone.txt\t13 bytes"), std::string::npos);
    EXPECT_NE(info.output.find("18(SEED)"), std::string::npos);

    write("w/one", "1");
    write("w/sub/two", "2");
    Outcome refused = cli("wipe w");
    EXPECT_EQ(refused.status, 1);
    EXPECT_TRUE(exists("w/one"));
    Outcome wiped = cli("wipe --yes w");
    EXPECT_EQ(wiped.status, 0) << wiped.output;
    EXPECT_FALSE(exists("w"));
}

// The sessions that lost data through secure deletion: a file that cannot
// be overwritten must stay (with every link to it) and the command fails
// saying so; a link given with a trailing separator is removed as a link.
constexpr char kNotWiped[] = "파일 내용을 지울 수 없어 삭제하지 않았습니다.";

TEST_F(CliTest, WipeKeepsWhatItCannotOverwrite) {
    // A named pipe cannot be opened as a file to overwrite, for root too.
    ASSERT_EQ(mkfifo((dir_ / "pipe").c_str(), 0600), 0);
    write("after.txt", "wiped after the pipe");
    Outcome w = cli("wipe --yes pipe after.txt");
    EXPECT_EQ(w.status, 1) << w.output;
    EXPECT_NE(w.output.find(std::string(kNotWiped) + "\npipe"), std::string::npos) << w.output;
    EXPECT_TRUE(fs::is_fifo(dir_ / "pipe"));
    EXPECT_FALSE(exists("after.txt"));
}

TEST_F(CliTest, WipeOfAMistypedNameIsNoSuccess) {
    write("secret.txt", "still here");
    write("other.txt", "wiped");
    Outcome w = cli("wipe --yes secert.txt other.txt");
    EXPECT_EQ(w.status, 1) << w.output;
    EXPECT_EQ(w.output.rfind("파일 열기 오류\nsecert.txt\n", 0), 0u) << w.output;
    EXPECT_EQ(read("secret.txt"), "still here");
    EXPECT_FALSE(exists("other.txt"));
    Outcome only = cli("wipe --yes nothing/");
    EXPECT_EQ(only.status, 1);
    EXPECT_EQ(only.output, "파일 열기 오류\nnothing/\n");
}

TEST_F(CliTest, ReadOnlySourcesAreNeitherWipedNorDeleted) {
    write("secret.txt", "plaintext");
    fs::create_hard_link(dir_ / "secret.txt", dir_ / "second-link.txt");
    fs::permissions(dir_ / "secret.txt", fs::perms::owner_read);
    if (access((dir_ / "secret.txt").c_str(), W_OK) == 0)
        GTEST_SKIP() << "this user writes read-only files (root)";
    Outcome w = cli("wipe --yes secret.txt");
    EXPECT_EQ(w.status, 1) << w.output;
    EXPECT_NE(w.output.find(kNotWiped), std::string::npos) << w.output;
    Outcome e = cli("encrypt -p pw -o s.vlr --delete-sources secret.txt");
    EXPECT_EQ(e.status, 1) << e.output;
    EXPECT_NE(e.output.find(kNotWiped), std::string::npos) << e.output;
    EXPECT_EQ(read("secret.txt"), "plaintext");
    EXPECT_EQ(read("second-link.txt"), "plaintext");
    ASSERT_EQ(cli("decrypt -p pw -o out s.vlr").status, 0);  // the package is whole
    EXPECT_EQ(read("out/secret.txt"), "plaintext");
}

TEST_F(CliTest, WipeOfALinkWithTrailingSeparatorRemovesOnlyTheLink) {
    write("data/keep.txt", "keep me");
    write("data/sub/too.txt", "me too");
    fs::create_directory_symlink(dir_ / "data", dir_ / "link");
    for (const char* given : {"link/", "link//"}) {
        SCOPED_TRACE(given);
        if (!fs::is_symlink(dir_ / "link"))
            fs::create_directory_symlink(dir_ / "data", dir_ / "link");
        Outcome w = cli(std::string("wipe --yes ") + given);
        EXPECT_EQ(w.status, 0) << w.output;
        EXPECT_FALSE(fs::exists(fs::symlink_status(dir_ / "link")));
        EXPECT_EQ(read("data/keep.txt"), "keep me");
        EXPECT_EQ(read("data/sub/too.txt"), "me too");
    }
}

// Links planted at every temporary name a run uses: none of them may
// receive a byte, and the real outputs come out whole.
TEST_F(CliTest, PlantedTemporaryLinksReceiveNothing) {
    write("a.txt", "the plaintext");
    write("victim", "untouched");
    fs::create_directories(dir_ / "out");
    fs::create_directories(dir_ / "keys");
    struct Plant {
        const char* at;
        const char* to;
    } plants[] = {
        {"a.vlr.part", "planted-package"},
        {"out/a.txt.part", "planted-plaintext"},
        {"out/a.txt.part1", "victim"},
        {"keys/alice.lck.tmp", "planted-key"},
    };
    for (const Plant& p : plants) fs::create_symlink(dir_ / p.to, dir_ / p.at);
    Outcome e = cli("encrypt -p pw -o a.vlr a.txt");
    ASSERT_EQ(e.status, 0) << e.output;
    Outcome d = cli("decrypt -p pw -o out a.vlr");
    ASSERT_EQ(d.status, 0) << d.output;
    EXPECT_EQ(read("out/a.txt"), "the plaintext");
    Outcome k = cli("key create --name alice -p pw --key-dir keys");
    ASSERT_EQ(k.status, 0) << k.output;
    EXPECT_EQ(fs::file_size(dir_ / "keys" / "alice.lck"), 43u);
    for (const char* planted : {"planted-package", "planted-plaintext", "planted-key"})
        EXPECT_FALSE(fs::exists(dir_ / planted)) << planted;
    EXPECT_EQ(read("victim"), "untouched");
    for (const Plant& p : plants) EXPECT_TRUE(fs::is_symlink(dir_ / p.at)) << p.at;
}

// --force replaces a key by the staged write: the old file is replaced as a
// whole, never rewritten in place, so another name for the old key keeps
// the old bytes and no temporary is left.
TEST_F(CliTest, KeyCreateForceReplacesTheKeyAsAWhole) {
    write("bob.pw", "bob-password\n");
    ASSERT_EQ(cli("key create --name alice -p pw --key-dir keys").status, 0);
    const std::string old_key = read("keys/alice.lck");
    fs::create_hard_link(dir_ / "keys" / "alice.lck", dir_ / "old-alice.lck");
    Outcome k = cli("key create --name alice -p bob.pw --key-dir keys --force");
    ASSERT_EQ(k.status, 0) << k.output;
    EXPECT_EQ(read("old-alice.lck"), old_key);
    EXPECT_EQ(read("keys/alice.lck").size(), 43u);
    EXPECT_NE(read("keys/alice.lck"), old_key);
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(dir_ / "keys"))
        names.push_back(e.path().filename().string());
    EXPECT_EQ(names, std::vector<std::string>{"alice.lck"});
}

TEST_F(CliTest, LogLinesAndUsage) {
    write("l.txt", "log me");
    ASSERT_EQ(cli("encrypt -p pw -m each -a aria --log act.log l.txt").status, 0);
    const std::string log = read("act.log");
    EXPECT_NE(log.find("l.txt\tEncrypted Each(ARIA)\n"), std::string::npos) << log;
    EXPECT_EQ(cli("encrypt -m zip l.txt").status, 2);
    Outcome help = cli("--help");
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.output.find("사용법"), std::string::npos);
}

// Hiding rewrites each picture whole; a read-only or private picture keeps
// its mode, and the hidden package still comes back.
TEST_F(CliTest, HidingKeepsThePicturesMode) {
    write("secret.txt", "hidden words");
    picture("ro.bmp", 200000);
    picture("private.bmp", 210000);
    const std::string plain = read("ro.bmp");
    const fs::perms ro = fs::perms(0444), priv = fs::perms(0600);
    fs::permissions(dir_ / "ro.bmp", ro);
    fs::permissions(dir_ / "private.bmp", priv);
    Outcome hide = cli("encrypt -m bmp -p pw -b ro.bmp -b private.bmp secret.txt");
    ASSERT_EQ(hide.status, 0) << hide.output;
    EXPECT_NE(read("ro.bmp"), plain);
    EXPECT_EQ(fs::status(dir_ / "ro.bmp").permissions(), ro);
    EXPECT_EQ(fs::status(dir_ / "private.bmp").permissions(), priv);
    Outcome back = cli("decrypt -p pw -o out ro.bmp private.bmp");
    ASSERT_EQ(back.status, 0) << back.output;
    EXPECT_EQ(read("out/secret.txt"), "hidden words");
}

// A log that is also a file of the command took its lines appended and
// was damaged: refused before any work, however the file is spelled.
TEST_F(CliTest, LogThatIsAFileOfTheCommandIsRefused) {
    write("a.txt", "plain text");
    picture("pic.bmp", 200000);
    ASSERT_EQ(cli("encrypt -p pw -o p.vlr a.txt").status, 0);
    fs::create_hard_link(dir_ / "p.vlr", dir_ / "hard.vlr");
    fs::create_symlink("p.vlr", dir_ / "soft.log");
    fs::create_directories(dir_ / "sub");
    const std::string files[] = {"a.txt", "p.vlr", "pic.bmp", "pw"};
    std::vector<std::string> before;
    for (const std::string& f : files) before.push_back(read(f));
    const std::string told = "로그 파일은 이 작업에서 읽거나 쓰는 파일과 같을 수 없습니다.\n";
    struct Case {
        std::string args, log;
    } cases[] = {
        {"decrypt -p pw -o out p.vlr", "p.vlr"},
        {"decrypt -p pw -o out p.vlr", "./p.vlr"},
        {"decrypt -p pw -o out p.vlr", "sub/../p.vlr"},
        {"decrypt -p pw -o out p.vlr", "hard.vlr"},
        {"decrypt -p pw -o out p.vlr", "soft.log"},
        {"decrypt -p pw -o out p.vlr", "pw"},
        {"encrypt -p pw -o p.vlr --force a.txt", "p.vlr"},
        {"encrypt -p pw -o new.vlr a.txt", "./new.vlr"},
        {"encrypt -p pw -o new.vlr a.txt", "a.txt"},
        {"encrypt -p pw a.txt", "a.txt.vlr"},
        {"encrypt -p pw -m each a.txt", "./a.txt.vlr"},
        {"encrypt -p pw -m each -t hi", "메세지파일.vlr"},
        {"encrypt -p pw -m bmp -b pic.bmp a.txt", "pic.bmp"},
        {"encrypt -p pw --message-file a.txt -o new.vlr", "a.txt"},
    };
    for (const Case& c : cases) {
        const std::string args = c.args + " --delete-sources --log " + c.log;
        Outcome o = cli(args);
        EXPECT_EQ(o.status, 1) << args;
        EXPECT_EQ(o.output, told + c.log + "\n") << args;
        for (std::size_t i = 0; i < std::size(files); ++i)
            EXPECT_EQ(read(files[i]), before[i]) << args << ": " << files[i];
        for (const char* made : {"out", "new.vlr", "a.txt.vlr", "메세지파일.vlr"})
            EXPECT_FALSE(exists(made)) << args << ": " << made;
    }
    // Named only by the package: the decrypted entry is not written over
    // the log, and the log keeps what it held.
    write("out/a.txt", "earlier log\n");
    Outcome o = cli("decrypt -p pw -o out --force --log out/a.txt p.vlr");
    EXPECT_EQ(o.status, 1) << o.output;
    EXPECT_NE(o.output.find("암호화할 파일과 같은 이름으로 저장할 수 없습니다."), std::string::npos)
        << o.output;
    EXPECT_EQ(read("out/a.txt").rfind("earlier log\n", 0), 0u) << read("out/a.txt");
    EXPECT_EQ(read("p.vlr"), before[1]);
    // A log of its own works as before.
    ASSERT_EQ(cli("decrypt -p pw -o back --log act.log p.vlr").status, 0);
    EXPECT_EQ(read("back/a.txt"), "plain text");
    EXPECT_NE(read("act.log").find("a.txt"), std::string::npos);
}

// The commands that lost data or lied, each with what must survive and
// what the user is told.

std::string noise(std::size_t n, unsigned seed) {
    std::string s(n, '\0');
    for (char& c : s) {
        seed = seed * 1103515245u + 12345u;
        c = static_cast<char>(seed >> 16);
    }
    return s;
}

TEST_F(CliTest, PictureNamedTwiceOrAlsoHiddenLosesNothing) {
    write("secret.bin", noise(5000, 1));
    picture("a.bmp", 200000);
    picture("b.bmp", 210000);
    fs::create_directories(dir_ / "sub");
    fs::create_hard_link(dir_ / "a.bmp", dir_ / "hard.bmp");
    fs::create_symlink("a.bmp", dir_ / "soft.bmp");
    // Twelve 400 x 300 pictures of 24 bits, the first also listed as a file.
    std::string twelve;
    for (int i = 1; i <= 12; ++i) {
        const std::string name = "set/p" + std::to_string(i) + ".bmp";
        picture(name, 54 + 400 * 300 * 3);
        twelve += " -b " + name;
    }
    const std::string twice = "동일한 파일이 존재합니다.\n";
    const std::string hidden = "숨길 파일을 그림파일로 함께 쓸 수 없습니다.\n";
    struct Case {
        std::string args;
        std::string told;
    } cases[] = {
        {"-b a.bmp -b a.bmp secret.bin", twice + "a.bmp"},
        {"-b a.bmp -b ./a.bmp secret.bin", twice + "./a.bmp"},
        {"-b a.bmp -b b.bmp -b sub/../a.bmp secret.bin", twice + "sub/../a.bmp"},
        {"-b a.bmp -b hard.bmp secret.bin", twice + "hard.bmp"},
        {"-b soft.bmp -b a.bmp secret.bin", twice + "a.bmp"},
        {"-b a.bmp -b b.bmp secret.bin a.bmp", hidden + "a.bmp"},
        {twelve + " secret.bin set/p1.bmp", hidden + "set/p1.bmp"},
    };
    const std::string secret = read("secret.bin"), a = read("a.bmp"), b = read("b.bmp"),
                      p1 = read("set/p1.bmp");
    for (const Case& c : cases) {
        Outcome o = cli("encrypt -m bmp -p pw --delete-sources " + c.args);
        EXPECT_EQ(o.status, 1) << c.args;
        EXPECT_EQ(o.output, c.told + "\n") << c.args;
        EXPECT_EQ(read("secret.bin"), secret) << c.args;
        EXPECT_EQ(read("a.bmp"), a) << c.args;
        EXPECT_EQ(read("b.bmp"), b) << c.args;
        EXPECT_EQ(read("set/p1.bmp"), p1) << c.args;
    }
    // Distinct pictures: hidden, checked, and only then the source wiped.
    Outcome ok = cli("encrypt -m bmp -p pw --delete-sources -b a.bmp -b b.bmp secret.bin");
    ASSERT_EQ(ok.status, 0) << ok.output;
    EXPECT_FALSE(exists("secret.bin"));
    Outcome back = cli("decrypt -p pw -o out b.bmp a.bmp");
    ASSERT_EQ(back.status, 0) << back.output;
    EXPECT_EQ(read("out/secret.bin"), secret);
}

// Inputs that would not come back apart: one file named twice was stored
// and wiped twice, its package never decrypting without a collision; two
// leaf names alike in one package were packed and wiped, and decrypt, having
// no dialog to rename the second, wrote only the first.
TEST_F(CliTest, InputsThatCouldNotComeBackApartAreRefusedBeforeAnyWipe) {
    write("a.txt", "only copy");
    fs::create_directories(dir_ / "sub");
    fs::create_hard_link(dir_ / "a.txt", dir_ / "hard.txt");
    fs::create_symlink("a.txt", dir_ / "soft.txt");
    write("d1/report.txt", "first report");
    write("d2/report.txt", "second report");
    write("d3/REPORT.txt", "third report");
    picture("a.bmp", 200000);
    picture("b.bmp", 210000);
    const std::string twice = "동일한 파일이 존재합니다.\n";
    const std::string alike = "같은 이름의 파일은 한 꾸러미에 함께 넣을 수 없습니다.\n";
    struct Case {
        std::string args, told, second;
    } cases[] = {
        {"-o p.vlr a.txt", twice, "a.txt"},
        {"-o p.vlr a.txt", twice, "./a.txt"},
        {"-o p.vlr a.txt", twice, "sub/../a.txt"},
        {"-o p.vlr a.txt", twice, "hard.txt"},
        {"-o p.vlr soft.txt", twice, "a.txt"},
        {"-m each a.txt", twice, "./a.txt"},
        {"-m each a.txt", twice, "hard.txt"},
        {"-o p.vlr d1/report.txt", alike, "d2/report.txt"},
        {"-o p.vlr d1/report.txt", alike, "d3/REPORT.txt"},
        {"-m bmp -b a.bmp -b b.bmp d1/report.txt", alike, "d2/report.txt"},
    };
    const std::string bmp = read("a.bmp");
    for (const Case& c : cases) {
        const std::string args = "encrypt -p pw --delete-sources " + c.args + " " + c.second;
        Outcome o = cli(args);
        EXPECT_EQ(o.status, 1) << args;
        EXPECT_EQ(o.output, c.told + (dir_ / c.second).string() + "\n") << args;
        EXPECT_EQ(read("a.txt"), "only copy") << args;
        EXPECT_EQ(read("d1/report.txt"), "first report") << args;
        EXPECT_EQ(read("d2/report.txt"), "second report") << args;
        EXPECT_EQ(read("d3/REPORT.txt"), "third report") << args;
        EXPECT_EQ(read("a.bmp"), bmp) << args;
        for (const fs::directory_entry& e : fs::recursive_directory_iterator(dir_))
            EXPECT_NE(e.path().extension(), ".vlr") << args;
    }
    // Distinct files go together; alike names each in their own item.
    ASSERT_EQ(cli("encrypt -p pw --delete-sources -o p.vlr a.txt d1/report.txt").status, 0);
    ASSERT_EQ(cli("decrypt -p pw -o out p.vlr").status, 0);
    EXPECT_EQ(read("out/a.txt"), "only copy");
    EXPECT_EQ(read("out/report.txt"), "first report");
    ASSERT_EQ(cli("encrypt -m each -p pw --delete-sources d2/report.txt d3/REPORT.txt").status, 0);
    ASSERT_EQ(cli("decrypt -p pw -o o2 d2/report.txt.vlr").status, 0);
    ASSERT_EQ(cli("decrypt -p pw -o o3 d3/REPORT.txt.vlr").status, 0);
    EXPECT_EQ(read("o2/report.txt"), "second report");
    EXPECT_EQ(read("o3/REPORT.txt"), "third report");
}

TEST_F(CliTest, DecryptWithForceNeverReplacesItsOwnOutputs) {
    // Such a package comes from another installation (the window renames on
    // decrypt); here the second stored name is rewritten into the first.
    write("d1/report.txt", "first report");
    write("d2/xeport.txt", "second report");
    ASSERT_EQ(cli("encrypt -p pw -o p.vlr d1/report.txt d2/xeport.txt").status, 0);
    std::string package = read("p.vlr");
    const std::size_t at = package.find("d2/xeport.txt");
    ASSERT_NE(at, std::string::npos);
    package[at + 3] = 'r';
    write("p.vlr", package);
    Outcome o = cli("decrypt -p pw -o out --force --delete-sources p.vlr");
    EXPECT_EQ(o.status, 1);
    EXPECT_EQ(o.output,
              "이번 작업에서 이미 같은 이름의 파일을 만들었습니다.\nout/report.txt\n"
              "파일을 성공적으로 풀었습니다.\n");
    EXPECT_EQ(read("out/report.txt"), "first report");
    EXPECT_EQ(read("p.vlr"), package);
}

TEST_F(CliTest, LyingCiphertextLengthWritesNothing) {
    write("a.txt", "first file");
    write("last.bin", noise(40, 2));
    ASSERT_EQ(cli("encrypt -p pw -o p.vlr a.txt last.bin").status, 0);
    const std::string whole = read("p.vlr");
    // The last entry ends the file: CT, the check block, 40 ciphertext bytes.
    const std::size_t ct_at = whole.size() - 40 - 16 - 4;
    ASSERT_EQ(whole.substr(ct_at, 4), std::string("\x28\0\0\0", 4));
    for (unsigned char lowered : {0, 1, 15, 16, 39}) {
        std::string lying = whole;
        lying[ct_at] = static_cast<char>(lowered);
        write("lying.vlr", lying);
        fs::remove_all(dir_ / "out");
        Outcome o = cli("decrypt -p pw -o out --force --delete-sources lying.vlr");
        EXPECT_EQ(o.status, 1) << int(lowered);
        EXPECT_EQ(o.output, "파일 길이 읽기 오류\n") << int(lowered);
        EXPECT_TRUE(fs::is_empty(dir_ / "out")) << int(lowered);
        EXPECT_EQ(read("lying.vlr"), lying) << int(lowered);
    }
}

TEST_F(CliTest, StoredNamesAreMadeSafeAndShownEscaped) {
    const std::string evil = "evil\x1b[2J\nname";
    for (const std::string& name :
         {std::string("CON.txt"), std::string("a."), std::string("x?y"), evil})
        write("names/" + name, "content of " + name);
    // The shell's glob hands the names over unchanged.
    ASSERT_EQ(cli("encrypt -p pw -o n.vlr --log enc.log names/*").status, 0);
    Outcome info = cli("info n.vlr");
    EXPECT_EQ(info.status, 0);
    EXPECT_NE(info.output.find("/names/evil\\x1B[2J\\x0Aname\t"), std::string::npos) << info.output;
    Outcome d = cli("decrypt -p pw -o out --log dec.log n.vlr");
    EXPECT_EQ(d.status, 0) << d.output;
    EXPECT_EQ(read("out/CON_.txt"), "content of CON.txt");
    EXPECT_EQ(read("out/a._"), "content of a.");
    EXPECT_EQ(read("out/x_y"), "content of x?y");
    EXPECT_EQ(read("out/evil_[2J_name"), "content of " + evil);
    for (const char* log : {"enc.log", "dec.log"}) {
        const std::string text = read(log);
        EXPECT_NE(text.find("evil\\x1B[2J\\x0Aname\t"), std::string::npos) << text;
        EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 4) << text;
    }
    for (const std::string& shown : {info.output, d.output, read("enc.log"), read("dec.log")})
        EXPECT_EQ(shown.find('\x1b'), std::string::npos) << shown;
}

TEST_F(CliTest, ExitStatusSaysWhatHappened) {
    write("plain.txt", "not encrypted");
    ASSERT_EQ(cli("encrypt -p pw -o good.vlr plain.txt").status, 0);
    const std::string good = read("good.vlr");
    write("cut.vlr", good.substr(0, good.size() - 5));
    struct Case {
        const char* args;
        int status;
        const char* told;  // a line the output holds
    } cases[] = {
        {"info good.vlr", 0, "plain.txt\t13 bytes"},
        {"info missing.vlr", 1, "파일 열기 오류"},
        {"info plain.txt", 1, "암호화되지 않은 파일이 있습니다."},
        {"info cut.vlr", 1, "파일 길이 읽기 오류"},
        {"info good.vlr missing.vlr", 1, "18(SEED)"},
        {"encrypt -p nofile -o x.vlr plain.txt", 1, "파일 읽기 오류\n-p: nofile"},
        {"decrypt -p nofile -o out good.vlr", 1, "파일 읽기 오류\n-p: nofile"},
        {"key create --name k -p nofile --key-dir keys", 1, "파일 읽기 오류\n-p: nofile"},
        {"encrypt -p", 2, "사용법"},
    };
    for (const Case& c : cases) {
        Outcome o = cli(c.args);
        EXPECT_EQ(o.status, c.status) << c.args << "\n" << o.output;
        EXPECT_NE(o.output.find(c.told), std::string::npos) << c.args << "\n" << o.output;
    }
    EXPECT_FALSE(exists("x.vlr"));
    EXPECT_FALSE(exists("keys/k.lck"));
}

// Ctrl-C at the password prompt once left the terminal without echo.
TEST_F(CliTest, InterruptAtPasswordPromptRestoresEcho) {
    write("x.txt", "x");
    int terminal = -1;
    const pid_t pid = forkpty(&terminal, nullptr, nullptr, nullptr);
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        if (chdir(dir_.c_str()) != 0) _exit(126);
        execl(VELLORA_CLI, "vellora-cli", "encrypt", "-o", "x.vlr", "x.txt", nullptr);
        _exit(127);
    }
    auto echo_on = [&] {
        termios t{};
        return tcgetattr(terminal, &t) == 0 && (t.c_lflag & ECHO) != 0;
    };
    // Wait (bounded) for the prompt with echo off.
    std::string shown;
    const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (std::chrono::steady_clock::now() < give_up &&
           (shown.find("Password") == std::string::npos || echo_on())) {
        pollfd p{terminal, POLLIN, 0};
        if (poll(&p, 1, 50) > 0) {
            char buf[256];
            const ssize_t n = ::read(terminal, buf, sizeof buf);
            if (n > 0) shown.append(buf, static_cast<std::size_t>(n));
        }
    }
    ASSERT_NE(shown.find("Password"), std::string::npos) << shown;
    ASSERT_FALSE(echo_on());
    ASSERT_EQ(::write(terminal, "\x03", 1), 1);  // the terminal's interrupt key
    int raw = 0;
    ASSERT_EQ(waitpid(pid, &raw, 0), pid);
    EXPECT_TRUE(WIFSIGNALED(raw) && WTERMSIG(raw) == SIGINT) << raw;
    EXPECT_TRUE(echo_on());
    EXPECT_FALSE(exists("x.vlr"));
    close(terminal);
}

}  // namespace
