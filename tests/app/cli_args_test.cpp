// The command line's grammar: what is accepted and what is a usage error.
#include "app/cli/args.h"

#include <gtest/gtest.h>

namespace cli {
namespace {

TEST(CliArgs, UsageErrors) {
    struct Case {
        std::vector<std::string> args;
        const char* error_part;  // "" = accepted
    } cases[] = {
        {{"encrypt", "-p", "pw", "a.txt"}, ""},
        {{"encrypt", "-m", "each", "-a", "aes", "-r", "bob", "-r", "k.lck", "a", "b"}, ""},
        {{"encrypt", "-m", "bmp", "-b", "x.bmp", "-t", "hi", "-p", "pw"}, ""},
        {{"decrypt", "-p", "-", "-o", "out", "x.vlr"}, ""},
        {{"key", "create", "--name", "me", "-p", "pw", "--key-dir", "k"}, ""},
        {{"wipe", "--yes", "f"}, ""},
        {{"info", "f.vlr"}, ""},
        {{"encrypt", "-p", "pw", "--", "-odd-name"}, ""},
        {{"frobnicate"}, "unknown command"},
        {{"encrypt", "-m", "zip", "-p", "pw", "a"}, "-m"},
        {{"encrypt", "-a", "des", "-p", "pw", "a"}, "-a"},
        {{"encrypt", "-p", "pw", "-r", "bob", "a"}, "exclude"},
        {{"encrypt", "-t", "x", "--message-file", "m", "-p", "pw"}, "exclude"},
        {{"encrypt", "-m", "bmp", "-p", "pw", "a"}, "-b"},
        {{"encrypt", "-b", "x.bmp", "-p", "pw", "a"}, "-m bmp"},
        {{"encrypt", "-p", "pw"}, "nothing to encrypt"},
        {{"encrypt", "-p"}, "needs a value"},
        {{"decrypt", "-p", "pw", "x.vlr"}, "-o"},
        {{"decrypt", "-p", "pw", "-o", "out"}, "INPUT"},
        {{"decrypt", "-m", "each", "-o", "out", "x"}, "not an option"},
        {{"key"}, "create"},
        {{"key", "create", "-p", "pw"}, "--name"},
        {{"key", "create", "--name", "me"}, "-p"},
        {{"wipe"}, "PATH"},
        {{"wipe", "--force", "f"}, "not an option"},
        {{"info", "--bogus", "f"}, "unknown option"},
    };
    for (const Case& c : cases) {
        Parsed p = parse_args(c.args);
        std::string line;
        for (const auto& a : c.args) line += a + " ";
        if (*c.error_part == '\0') {
            EXPECT_EQ(p.error, "") << line;
        } else {
            EXPECT_NE(p.error.find(c.error_part), std::string::npos) << line << "-> " << p.error;
        }
    }
}

TEST(CliArgs, OptionsLandWhereTheySay) {
    Parsed p = parse_args({"encrypt", "-m", "each", "-a", "aria", "-p", "pw", "-t", "msg", "-o",
                           "m.vlr", "--delete-sources", "--log", "l.txt", "--force", "a", "b"});
    ASSERT_EQ(p.error, "");
    const Options& o = p.options;
    EXPECT_EQ(o.verb, Verb::Encrypt);
    EXPECT_EQ(o.mode, "each");
    EXPECT_EQ(o.algorithm, "aria");
    EXPECT_EQ(*o.password_file, "pw");
    EXPECT_EQ(*o.text, "msg");
    EXPECT_EQ(*o.output, "m.vlr");
    EXPECT_TRUE(o.delete_sources);
    EXPECT_EQ(*o.log_file, "l.txt");
    EXPECT_TRUE(o.force);
    EXPECT_EQ(o.operands, (std::vector<std::string>{"a", "b"}));
}

TEST(CliArgs, HelpInBothLanguages) {
    EXPECT_EQ(parse_args({}).options.verb, Verb::Help);
    EXPECT_EQ(parse_args({"--help"}).options.verb, Verb::Help);
    EXPECT_EQ(parse_args({"decrypt", "--help"}).options.verb, Verb::Help);
    const std::string text = usage_text();
    EXPECT_NE(text.find("사용법"), std::string::npos);
    EXPECT_NE(text.find("Usage"), std::string::npos);
}

}  // namespace
}  // namespace cli
