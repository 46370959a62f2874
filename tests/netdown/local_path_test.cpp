// The rule for local paths that a server's list names: resolved against the
// working folder, they must stay inside the installation folder.
#include <gtest/gtest.h>

#include "netdown/local_path.h"
#include "tests/netdown/test_files.h"

namespace {

namespace fs = std::filesystem;
using testing_support::TempFolder;

TEST(LocalPathRule, FromTheUpdateFolderOfAnInstallation) {
    TempFolder install;
    const fs::path update = install / "Update";
    fs::create_directories(update);
    struct Case {
        const char* path;
        bool inside;
    } cases[] = {
        {"..\\Vellora.exe", true},
        {"../Vellora.exe", true},
        {"VLRUpdate.exe", true},
        {".\\Sub\\a.dll", true},
        {"..\\Banner\\b.swf", true},
        {"..\\Update\\..\\Vellora.exe", true},
        {"Sub\\\\double.dll", true},
        {"..\\..\\outside\\x", false},
        {"../../outside/x", false},
        {"..\\Update\\..\\..\\x", false},
        {"..", false},
        {"..\\", false},
        {"Sub\\..", false},
        {"C:\\Windows\\x.exe", false},
        {"C:x.exe", false},
        {"\\\\server\\share\\x.exe", false},
        {"//server/share/x.exe", false},
        {"\\x.exe", false},
        {"/tmp/x", false},
        {"a.exe:stream", false},
        {"a.exe::$DATA", false},
        {"...\\x.exe", false},
        {".. \\x.exe", false},
        {"", false},
        {"a\nb.exe", false},
        {"a\tb.exe", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(netdown::LocalPathStaysInside(c.path, update, install.path()), c.inside)
            << c.path;
    // The same folders under other spellings.
    EXPECT_TRUE(netdown::LocalPathStaysInside("..\\Vellora.exe", update / "." / "", update / ".."));
}

TEST(LocalPathRule, AWorkingFolderOutsideTheInstallationAllowsNothing) {
    TempFolder install, elsewhere;
    for (const char* path : {"a.dll", "..\\Vellora.exe", "x\\..\\y.dll"})
        EXPECT_FALSE(netdown::LocalPathStaysInside(path, elsewhere.path(), install.path())) << path;
}

TEST(LocalPathRule, TheSameFolderAsRootNeedsNoFileSystem) {
    // The banner names: resolved in and kept to one folder that may not exist yet.
    const fs::path banner = "Banner";
    EXPECT_TRUE(netdown::LocalPathStaysInside("movie.swf", banner, banner));
    EXPECT_TRUE(netdown::LocalPathStaysInside("sub\\movie.swf", banner, banner));
    EXPECT_FALSE(netdown::LocalPathStaysInside("..\\Vellora.exe", banner, banner));
    EXPECT_FALSE(netdown::LocalPathStaysInside("sub\\..\\..\\x.swf", banner, banner));
}

}  // namespace
