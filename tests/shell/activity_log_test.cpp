#include "shell/activity_log.h"

#include <gtest/gtest.h>

#include "platform/text.h"
#include "tests/shell/fixture.h"

namespace {

TEST(ActivityLog, TimePrefixHasNoLeadingZeros) {
    struct Case {
        platform::LocalTime t;
        const char* expected;
    };
    const Case cases[] = {
        {{2024, 1, 5, 3, 4, 9}, "2024-1-5 3:4:9\t"},
        {{2026, 12, 31, 23, 59, 59}, "2026-12-31 23:59:59\t"},
        {{2025, 10, 10, 0, 0, 0}, "2025-10-10 0:0:0\t"},
    };
    for (const auto& c : cases) EXPECT_EQ(shell::log_time_prefix(c.t), c.expected);
}

TEST(ActivityLog, AppendsLinesInCodePage949) {
    shell_test::TempFolder folder;
    auto log = folder.path() / "Vellora.log";
    platform::ManualClock clock({}, {2024, 3, 7, 14, 5, 0});
    ASSERT_TRUE(shell::append_log_line(log, clock, "C:\\문서\\a.txt\tEncrypted Each(SEED)\n"));
    clock.set_local_time({2024, 3, 7, 14, 6, 1});
    ASSERT_TRUE(shell::append_log_line(log, clock, "Message\tEncrypted Packgage(AES)\n"));

    std::string expected =
        "2024-3-7 14:5:0\tC:\\문서\\a.txt\tEncrypted Each(SEED)\n"
        "2024-3-7 14:6:1\tMessage\tEncrypted Packgage(AES)\n";
    std::string on_disk = shell_test::read_file(log);
#ifdef _WIN32
    // A text file with the system's line ends.
    std::string crlf;
    const std::string encoded = platform::to_cp949(expected).value_or("");
    for (char c : encoded) {
        if (c == '\n') crlf += '\r';
        crlf += c;
    }
    EXPECT_EQ(on_disk, crlf);
#else
    EXPECT_EQ(on_disk, *platform::to_cp949(expected));
#endif
}

TEST(ActivityLog, UnmappableTextOrMissingFolderWritesNothing) {
    shell_test::TempFolder folder;
    auto log = folder.path() / "Vellora.log";
    platform::ManualClock clock;
    EXPECT_FALSE(
        shell::append_log_line(log, clock, "\xF0\x9F\x98\x80.txt\tDecrypted Each(ARIA)\n"));
    EXPECT_FALSE(std::filesystem::exists(log));
    EXPECT_FALSE(shell::append_log_line(folder.path() / "Log" / "Vellora.log", clock, "x\n"));
}

}  // namespace
