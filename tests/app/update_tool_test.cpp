// "vellora-cli update" as a publisher runs it: a key pair, a signed list,
// its check, and what it refuses.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "tests/support/shell_command.h"
#include "tests/support/temp_folder.h"

namespace {

namespace fs = std::filesystem;

using test_support::Outcome;

class UpdateToolTest : public ::testing::Test {
  protected:
    void SetUp() override {
        fs::create_directories(dir_ / "root" / "down");
        write("root/down/version.txt",
              "; the release\n..\\Vellora.exe|/down/Vellora.exe|E\nx.dll|/down/x.dll|R\n");
        write("root/down/Vellora.exe", "main program");
        write("root/down/x.dll", "library");
    }
    Outcome cli(const std::string& args) {
        const std::string full =
            "cd '" + dir_.string() + "' && '" VELLORA_CLI "' update " + args + " 2>&1 </dev/null";
        return test_support::run_shell(full);
    }
    void write(const std::string& rel, const std::string& content) {
        std::ofstream(dir_ / rel, std::ios::binary) << content;
    }
    std::string read(const std::string& rel) {
        std::ifstream in(dir_ / rel, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    std::string keygen(const std::string& file) {
        const Outcome o = cli("keygen " + file);
        EXPECT_EQ(o.status, 0) << o.output;
        return o.output.substr(0, 64);
    }

    test_support::TempFolder folder_;
    const fs::path& dir_ = folder_.path();
};

TEST_F(UpdateToolTest, KeygenWritesAnOwnerOnlySecretAndNeverReplacesOne) {
    const std::string key = keygen("publisher.key");
    EXPECT_EQ(key.find_first_not_of("0123456789abcdef"), std::string::npos);
    struct stat st {};
    ASSERT_EQ(stat((dir_ / "publisher.key").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    const std::string secret = read("publisher.key");
    EXPECT_EQ(secret.size(), 65u);
    EXPECT_EQ(secret.find(key), std::string::npos);  // the secret is not the public key

    // An existing file, or a dangling link planted at the name, is left alone.
    fs::create_symlink(dir_ / "planted-target", dir_ / "planted.key");
    for (const char* name : {"publisher.key", "planted.key"}) {
        const Outcome o = cli(std::string("keygen ") + name);
        EXPECT_EQ(o.status, 1) << name;
        EXPECT_NE(o.output.find("exists or cannot be created"), std::string::npos) << o.output;
    }
    EXPECT_EQ(read("publisher.key"), secret);
    EXPECT_FALSE(fs::exists(dir_ / "planted-target"));
}

TEST_F(UpdateToolTest, SignThenVerifyAndCatchAlteredModules) {
    const std::string key = keygen("publisher.key");
    write("publisher.pub", key + "\n");
    const Outcome signed_run =
        cli("sign publisher.key root/down/version.txt --root root --serial 7");
    ASSERT_EQ(signed_run.status, 0) << signed_run.output;
    const std::string list = read("root/down/version.txt");
    EXPECT_EQ(list.rfind(";vlr-serial 7\n;vlr-sha512 ", 0), 0u) << list;
    EXPECT_NE(list.find("..\\Vellora.exe|/down/Vellora.exe|E\n"), std::string::npos);
    EXPECT_EQ(read("root/down/version.txt.sig").size(), 129u);

    for (const std::string& given : {key, std::string("publisher.pub")}) {
        const Outcome ok = cli("verify " + given + " root/down/version.txt --root root");
        EXPECT_EQ(ok.status, 0) << ok.output;
        EXPECT_NE(ok.output.find("signature OK, serial 7"), std::string::npos) << ok.output;
    }

    // Signing again without a serial moves it past the previous one.
    ASSERT_EQ(cli("sign publisher.key root/down/version.txt --root root").status, 0);
    EXPECT_EQ(read("root/down/version.txt").find(";vlr-serial 7\n"), std::string::npos);

    write("root/down/x.dll", "library, altered");
    const Outcome altered = cli("verify " + key + " root/down/version.txt --root root");
    EXPECT_EQ(altered.status, 1);
    EXPECT_NE(altered.output.find("/down/x.dll\tSHA-512 differs"), std::string::npos)
        << altered.output;
    // Without the root only the signature is checked, and it still holds.
    EXPECT_EQ(cli("verify " + key + " root/down/version.txt").status, 0);

    const std::string other = keygen("other.key");
    EXPECT_EQ(cli("verify " + other + " root/down/version.txt").status, 1);
    write("root/down/version.txt", read("root/down/version.txt") + "; appended\n");
    EXPECT_EQ(cli("verify " + key + " root/down/version.txt").status, 1);
}

TEST_F(UpdateToolTest, SigningWithAMissingModuleWritesNothing) {
    keygen("publisher.key");
    fs::remove(dir_ / "root" / "down" / "x.dll");
    const std::string before = read("root/down/version.txt");
    const Outcome o = cli("sign publisher.key root/down/version.txt --root root");
    EXPECT_EQ(o.status, 1);
    EXPECT_NE(o.output.find("/down/x.dll\tmissing under the root"), std::string::npos) << o.output;
    EXPECT_EQ(read("root/down/version.txt"), before);
    EXPECT_FALSE(fs::exists(dir_ / "root" / "down" / "version.txt.sig"));
}

TEST_F(UpdateToolTest, UsageErrors) {
    for (const char* args : {"", "frob", "keygen", "keygen a b", "sign k root/down/version.txt",
                             "sign k l --root", "sign k l --root r --serial x", "verify k",
                             "verify k l --serial 3", "keygen k --bogus"}) {
        const Outcome o = cli(args);
        EXPECT_EQ(o.status, 2) << args << "\n" << o.output;
    }
    EXPECT_EQ(cli("--help").status, 0);
}

}  // namespace
