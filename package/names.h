// Names as they reach a disk and a screen: a leaf name that every system
// can create as a plain file, and text with its control characters shown
// rather than obeyed.
#pragma once

#include <string>
#include <string_view>

namespace package {

// A leaf name (UTF-8, no folder part) made safe to create on Windows and
// made the same way on every system, so an output has one name wherever it
// is decrypted:
//  - control characters (below 0x20 and 0x7F) and < > : " | ? * / \ become '_';
//  - a name ending in '.' or ' ' gets '_' appended;
//  - a device name (CON, PRN, AUX, NUL, CONIN$, CONOUT$, COM0-9, LPT0-9,
//    COM and LPT with a superscript digit), in any case, alone or before an
//    extension, gets '_' after it: "con.txt" -> "con_.txt".
// A safe name stays unchanged, and so does a safe name with a suffix such
// as ".part" appended. An empty name stays empty.
std::string safe_leaf_name(std::string_view leaf);

// The text with every control character (C0, DEL and the C1 range U+0080 to
// U+009F) written as \xHH per byte, so a stored name cannot move the cursor,
// recolour a terminal or start a new log line. Other text is unchanged.
std::string escape_controls(std::string_view text);

}  // namespace package
