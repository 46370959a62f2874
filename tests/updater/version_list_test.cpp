// Version list lines, the tokenizer and the download decision, as tables.
#include <gtest/gtest.h>

#include "tests/netdown/test_files.h"
#include "updater/version_list.h"

namespace {

using updater::ModuleEntry;
using updater::ModuleFromLine;
using updater::NeedsDownload;
using updater::SplitList;

TEST(SplitList, FieldsAreTrimmedAndEmptyOnesDropped) {
    struct Case {
        std::string line;
        std::vector<std::string> fields;
    } cases[] = {
        {"a|b|c", {"a", "b", "c"}},
        {"  a | b |c|  \r\n", {"a", "b", "c"}},
        {"a.dll||R", {"a.dll", "R"}},
        {"a||||b", {"a", "b"}},
        {"|a|b", {}},
        {"  |a|b", {}},
        {"a", {"a"}},
        {"", {}},
        {"|", {}},
        {"a|  |", {"a"}},
        {"..\\Vellora.exe|/down/Vellora.exe|E|", {"..\\Vellora.exe", "/down/Vellora.exe", "E"}},
        {"x| y z |w", {"x", "y z", "w"}},
    };
    for (const auto& c : cases) {
        std::vector<std::string> fields{"kept"};
        EXPECT_EQ(SplitList('|', c.line, fields), static_cast<int>(c.fields.size())) << c.line;
        EXPECT_EQ(std::vector<std::string>(fields.begin() + 1, fields.end()), c.fields) << c.line;
    }
}

TEST(SplitList, DetailLinesNameEveryFieldWhenLogged) {
    testing_support::TempFolder folder;
    {
        netdown::Logger log("CKSTMgr", 4, (folder / "l.log").string());
        std::vector<std::string> fields;
        SplitList('|', "a| |b", fields, &log);
    }
    const auto messages = testing_support::LogMessages(folder / "l.log");
    EXPECT_EQ(messages, (std::vector<std::string>{"SplitList(a| |b|) :  a --> ADD",
                                                  "SplitList(a| |b|) :   --> Invalid Length",
                                                  "SplitList(a| |b|) :  b --> ADD"}));
}

TEST(ModuleFromLine, BuildsEntriesOnlyFromLinesOfTwoFieldsOrMore) {
    struct Case {
        std::string line;
        bool entry;
        std::string local = "", remote = "", options = "", arguments = "";
    } cases[] = {
        {"..\\Vellora.exe|/down/Vellora.exe|E|\n", true, "..\\Vellora.exe", "/down/Vellora.exe",
         "E", ""},
        {"a.dll||R\n", true, "a.dll", "R", "", ""},
        {"bin\\v.exe|/down/v.exe|E|-silent -x\n", true, "bin\\v.exe", "/down/v.exe", "E",
         "-silent -x"},
        {"a|b|RF|arg|extra\n", true, "a", "b", "RF", "arg"},
        {";a|b|F\n", false},
        {"; comment\n", false},
        {"single\n", false},
        {"\n", false},
        {"x", false},
        {"", false},
        {"|a|b\n", false},
        {"  a|b\n", true, "a", "b", "", ""},
    };
    for (const auto& c : cases) {
        const auto entry = ModuleFromLine(c.line);
        ASSERT_EQ(entry.has_value(), c.entry) << c.line;
        if (!entry) continue;
        EXPECT_EQ(entry->local_path, c.local);
        EXPECT_EQ(entry->remote_path, c.remote);
        EXPECT_EQ(entry->options, c.options);
        EXPECT_EQ(entry->arguments, c.arguments);
        EXPECT_EQ(entry->download, 0);
    }
}

TEST(ReadListLines, LongLinesComeInPiecesOfTheLineBuffer) {
    testing_support::TempFolder folder;
    const std::string long_line(1500, 'x');
    testing_support::WriteFile(folder / "v.txt", "a|b\n" + long_line + "\nlast|one");
    std::FILE* f = std::fopen((folder / "v.txt").string().c_str(), "r");
    ASSERT_NE(f, nullptr);
    const auto lines = updater::ReadListLines(f);
    std::fclose(f);
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0], "a|b\n");
    EXPECT_EQ(lines[1], std::string(1023, 'x'));
    EXPECT_EQ(lines[2], std::string(477, 'x') + "\n");
    EXPECT_EQ(lines[3], "last|one");
}

TEST(NeedsDownload, ForcedMissingUnknownOrOlderCopiesAreFetched) {
    using T = std::optional<std::time_t>;
    const T none;
    struct Case {
        const char* options;
        T local, server;
        bool fetch;
    } cases[] = {
        {"", T{100}, T{200}, true},    // older
        {"", T{200}, T{200}, false},   // as new
        {"", T{300}, T{200}, false},   // newer
        {"F", T{300}, T{200}, true},   // forced
        {"RF", T{200}, T{200}, true},  //
        {"f", T{300}, T{200}, false},  // options are case-sensitive
        {"", none, T{200}, true},      // missing local copy
        {"E", T{200}, none, true},     // server time unknown
        {"", none, none, true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(NeedsDownload(c.options, c.local, c.server), c.fetch)
            << c.options << " " << c.local.value_or(-1) << " " << c.server.value_or(-1);
}

}  // namespace
