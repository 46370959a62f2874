// The configuration file: keys, defaults, the protocol rule, value limits.
#include <gtest/gtest.h>

#include "platform/ini.h"
#include "tests/netdown/test_files.h"
#include "updater/config.h"

namespace {

using testing_support::TempFolder;
using testing_support::WriteFile;

TEST(ReadUpdateConfig, ReadsEveryKey) {
    TempFolder folder;
    WriteFile(folder / "VLR.ini",
              "[SERVER]\r\n"
              "Remote Address = update.example.com\r\n"
              "Protocol=http\r\n"
              "Passive FTP MODE=1\r\n"
              "Remote Port=8080\r\n"
              "Login Name=user\r\n"
              "Login Password=\"pw with blanks \"\r\n"
              "Remote Version File=/down/version.txt\r\n"
              "; Remote Address=commented.example.com\r\n"
              "[LOCAL]\r\n"
              "Local Version File=.\\version.txt\r\n"
              "Default Exec File=..\\Vellora.exe\r\n"
              "[SIGNATURE]\r\n"
              "Public Key= 00112233445566778899aabbccddeeff00112233445566778899aabbccddeeff\r\n");
    const auto c = updater::ReadUpdateConfig(folder / "VLR.ini");
    EXPECT_EQ(c.remote_address, "update.example.com");
    EXPECT_EQ(c.service, 3);
    EXPECT_FALSE(c.secure);
    EXPECT_EQ(c.passive, 1);
    EXPECT_EQ(c.port, 8080);
    EXPECT_EQ(c.login_name, "user");
    EXPECT_EQ(c.login_password, "pw with blanks ");
    EXPECT_EQ(c.remote_version_file, "/down/version.txt");
    EXPECT_EQ(c.local_version_file, ".\\version.txt");
    EXPECT_EQ(c.default_exec_file, "..\\Vellora.exe");
    EXPECT_EQ(c.public_key, "00112233445566778899aabbccddeeff00112233445566778899aabbccddeeff");
}

TEST(ReadUpdateConfig, MissingKeysTakeTheirDefaults) {
    TempFolder folder;
    WriteFile(folder / "VLR.ini", "[server]\nremote address=h\n[OTHER]\nRemote Port=99\n");
    const auto c = updater::ReadUpdateConfig(folder / "VLR.ini");
    EXPECT_EQ(c.remote_address, "h");  // section and key names ignore case
    EXPECT_EQ(c.service, 1);           // "FTP"
    EXPECT_EQ(c.passive, 0);
    EXPECT_EQ(c.port, 0);
    EXPECT_EQ(c.login_name, "");
    EXPECT_EQ(c.login_password, "");
    EXPECT_EQ(c.default_exec_file, "");
    EXPECT_EQ(c.public_key, "");  // no key: updates are not checked
}

TEST(ServiceOfProtocol, FtpInAnyCaseElseHttp) {
    struct Case {
        const char* protocol;
        int service;
        bool secure;
    } cases[] = {
        {"FTP", 1, false},  {"ftp", 1, false},  {"fTp", 1, false},  {"HTTP", 3, false},
        {"http", 3, false}, {"XYZ", 3, false},  {"", 3, false},     {"FTPS", 3, false},
        {"HTTPS", 3, true}, {"https", 3, true}, {" FTP", 3, false},
    };
    for (const auto& c : cases) {
        bool secure = !c.secure;
        EXPECT_EQ(updater::ServiceOfProtocol(c.protocol, secure), c.service) << c.protocol;
        EXPECT_EQ(secure, c.secure) << c.protocol;
    }
}

TEST(IniReader, ValuesAreLimitedAndIntegersReadLikeTheSystem) {
    TempFolder folder;
    WriteFile(folder / "a.ini", "[S]\nlong=" + std::string(600, 'v') +
                                    "\nn1=42abc\nn2=abc\nn3=-7\n"
                                    "n4=  15  \nempty=\n");
    const auto ini = folder / "a.ini";
    EXPECT_EQ(platform::ini_string(ini, "S", "long", ""), std::string(511, 'v'));
    struct Case {
        const char* key;
        int value;
    } cases[] = {{"n1", 42}, {"n2", 0}, {"n3", -7}, {"n4", 15}, {"empty", 5}, {"missing", 5}};
    for (const auto& c : cases) EXPECT_EQ(platform::ini_int(ini, "S", c.key, 5), c.value) << c.key;
    EXPECT_EQ(platform::ini_string(ini, "S", "empty", "d"), "");
    EXPECT_EQ(platform::ini_string(folder / "none.ini", "S", "n1", "d"), "d");
}

}  // namespace
