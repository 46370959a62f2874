// vellora-cli scripted end to end: the commands other programs run, their
// exit status and the texts they print.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "tests/support/temp_folder.h"

namespace {

namespace fs = std::filesystem;

struct Outcome {
    int status = -1;
    std::string output;  // standard output and error together
};

class CliTest : public ::testing::Test {
  protected:
    void SetUp() override { write("pw", "secret12\n"); }

    Outcome cli(const std::string& args, const std::string& stdin_text = "") {
        const std::string full =
            "cd '" + dir_.string() + "' && " +
            (stdin_text.empty() ? "" : "printf '%s\\n' '" + stdin_text + "' | ") +
            "'" VELLORA_CLI "' " + args + " 2>&1" + (stdin_text.empty() ? " </dev/null" : "");
        Outcome o;
        FILE* p = popen(full.c_str(), "r");
        char buf[4096];
        for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, p)) > 0;) o.output.append(buf, n);
        const int raw = pclose(p);
        o.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
        return o;
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

}  // namespace
