// Output leaf names every system can create as plain files, and texts whose
// control characters are shown instead of obeyed.
#include "package/names.h"

#include <gtest/gtest.h>

#include <string>

namespace package {
namespace {

TEST(SafeLeafName, WindowsDevicesAndOddEndingsBecomePlainNames) {
    struct Case {
        const char* leaf;
        const char* safe;
    } cases[] = {
        // Plain names, including code-page text, pass unchanged.
        {"report.txt", "report.txt"},
        {"보고서.hwp", "보고서.hwp"},
        {".profile", ".profile"},
        {"console.txt", "console.txt"},
        {"CONSOLE", "CONSOLE"},
        {"COM10", "COM10"},
        {"LPT", "LPT"},
        {"xCON", "xCON"},
        {"a.CON", "a.CON"},
        {"CON_.txt", "CON_.txt"},
        // Device names, in any case, alone or before any extension.
        {"CON", "CON_"},
        {"con", "con_"},
        {"Prn.txt", "Prn_.txt"},
        {"AUX.tar.gz", "AUX_.tar.gz"},
        {"nul", "nul_"},
        {"COM1", "COM1_"},
        {"com9.log", "com9_.log"},
        {"COM0", "COM0_"},
        {"LPT1", "LPT1_"},
        {"lpt9.doc", "lpt9_.doc"},
        {"COM\xC2\xB9", "COM\xC2\xB9_"},
        {"LPT\xC2\xB3.txt", "LPT\xC2\xB3_.txt"},
        {"CONIN$", "CONIN$_"},
        {"conout$.x", "conout$_.x"},
        {"CON .txt", "CON _.txt"},  // blanks before the dot do not hide the device
        // Names ending in a dot or a blank.
        {"a.", "a._"},
        {"a ", "a _"},
        {"notes...", "notes..._"},
        {". ", ". _"},
        {".. ", ".. _"},
        {"NUL.", "NUL_._"},
        // Characters Windows refuses, and control characters.
        {"a<b>c", "a_b_c"},
        {"say \"hi\"", "say _hi_"},
        {"x|y?z*", "x_y_z_"},
        {"c:stream", "c_stream"},
        {"bad\nname", "bad_name"},
        {"esc\x1b[2J", "esc_[2J"},
        {"tab\there", "tab_here"},
        {"del\x7f", "del_"},
        {"", ""},
    };
    for (const Case& c : cases) {
        const std::string safe = safe_leaf_name(c.leaf);
        EXPECT_EQ(safe, c.safe) << c.leaf;
        // A safe name needs no second pass, and the temporary name an
        // output is staged under (the name and ".part") is safe as well.
        EXPECT_EQ(safe_leaf_name(safe), safe) << c.leaf;
        if (!safe.empty()) {
            EXPECT_EQ(safe_leaf_name(safe + ".part"), safe + ".part") << c.leaf;
            EXPECT_EQ(safe_leaf_name(safe + ".part1"), safe + ".part1") << c.leaf;
        }
    }
}

TEST(EscapeControls, ControlCharactersAreShownNotObeyed) {
    struct Case {
        const char* text;
        const char* shown;
    } cases[] = {
        {"C:\\docs\\a.txt", "C:\\docs\\a.txt"},
        {"보고서.txt", "보고서.txt"},
        {"line\nforged", "line\\x0Aforged"},
        {"\x1b[2J\x1b]0;title\x07", "\\x1B[2J\\x1B]0;title\\x07"},
        {"a\tb\rc", "a\\x09b\\x0Dc"},
        {"del\x7f", "del\\x7F"},
        {"nul\0x", "nul"},  // the text ends at its NUL here
        {"csi\xC2\x9B"
         "2J",
         "csi\\xC2\\x9B2J"},               // U+009B, the one-byte CSI
        {"\xC2\xA0nbsp", "\xC2\xA0nbsp"},  // U+00A0 is no control
        {"", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(escape_controls(c.text), c.shown) << c.text;
    EXPECT_EQ(escape_controls(std::string("a\0b", 3)), "a\\x00b");
}

}  // namespace
}  // namespace package
