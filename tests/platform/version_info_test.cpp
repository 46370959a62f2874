// The version resource reader: which translation is read for a user, and
// reading the strings of a real program's resource (on Windows: this test's
// own, which carries an English and a Korean table).
#include <gtest/gtest.h>

#include "platform/files.h"
#include "platform/version_info.h"

namespace {

using platform::VersionTranslation;

TEST(VersionTranslationChoice, FollowsTheUserLanguageThenNeutralThenEnglish) {
    struct Case {
        const char* what;
        std::vector<VersionTranslation> offered;
        std::uint16_t user;
        std::uint16_t chosen;
    } cases[] = {
        {"exact language wins over an earlier same-primary one",
         {{0x0409, 1200}, {0x0812, 949}, {0x0412, 1200}},
         0x0412,
         0x0412},
        {"same low byte", {{0x0409, 1200}, {0x0812, 949}}, 0x0412, 0x0812},
        {"neutral before English", {{0x0409, 1200}, {0x0000, 1200}}, 0x0412, 0x0000},
        {"English when nothing closer", {{0x0411, 932}, {0x0809, 1252}}, 0x0412, 0x0809},
        {"first when nothing matches", {{0x0411, 932}, {0x0407, 1252}}, 0x0412, 0x0411},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const auto chosen = platform::choose_translation(c.offered, c.user);
        ASSERT_TRUE(chosen);
        EXPECT_EQ(chosen->language, c.chosen);
    }
    EXPECT_FALSE(platform::choose_translation({}, 0x0412));
    EXPECT_EQ(platform::string_block_name({0x0412, 0x04B0}), "041204B0");
}

TEST(VersionStrings, MissingFileHasNone) {
    EXPECT_FALSE(platform::read_version_strings(platform::program_folder() / "no-such.exe",
                                                {"FileDescription"}));
}

#ifdef VELLORA_VERSIONED_PROGRAM
TEST(VersionStrings, ReadsTheTableOfTheUsersLanguage) {
    // The test runs with Korean as the user's language.
    const auto values = platform::read_version_strings(
        platform::program_folder() / VELLORA_VERSIONED_PROGRAM,
        {"FileDescription", "Comments", "FileVersion", "NoSuchValue"});
    ASSERT_TRUE(values);
    EXPECT_EQ(*values, (std::vector<std::string>{"버전 읽기 시험", "", "2.0.0.0", ""}));
}
#endif

}  // namespace
