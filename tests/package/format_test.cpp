// Key header, entry prefixes, kind detection and stored-name handling.
#include "package/format.h"

#include <gtest/gtest.h>

#include <string>

namespace package {
namespace {

Bytes bytes_of(const std::string& s) {
    return Bytes(s.begin(), s.end());
}

KeyHeader password_header(std::uint16_t kind) {
    KeyHeader h;
    h.magic = magic_for(Arrangement::Package, Protection::Password);
    h.slots.push_back({kind, Bytes(16, 0xAB)});
    return h;
}

TEST(Magic, SixKinds) {
    struct Case {
        Arrangement a;
        Protection p;
        const char* text;
    } cases[] = {
        {Arrangement::Package, Protection::Password, "CyEPX1.0"},
        {Arrangement::Package, Protection::Sharing, "CyEPC1.0"},
        {Arrangement::EachFile, Protection::Password, "CyEEX1.0"},
        {Arrangement::EachFile, Protection::Sharing, "CyEEC1.0"},
        {Arrangement::Pictures, Protection::Password, "CyESX1.0"},
        {Arrangement::Pictures, Protection::Sharing, "CyESC1.0"},
    };
    for (const Case& c : cases) {
        Magic m = magic_for(c.a, c.p);
        EXPECT_EQ(std::string(m.begin(), m.end()), c.text);
    }
}

TEST(KeyHeader, PasswordHeaderIs32BytesFieldByField) {
    Bytes h = build_key_header(password_header(kSlotAes));
    ASSERT_EQ(h.size(), 32u);
    EXPECT_EQ(std::string(h.begin(), h.begin() + 8), "CyEPX1.0");
    EXPECT_EQ(h[8], 1);
    EXPECT_EQ(h[9], 0);
    EXPECT_EQ(h[10], 39);  // slot kind
    EXPECT_EQ(h[11], 0);
    EXPECT_EQ(h[12], 16);  // wrapped length
    EXPECT_EQ(h[13], 0);
    EXPECT_EQ(h[14], 0xAB);
    EXPECT_EQ(h[30], 18);  // data mechanism
    EXPECT_EQ(h[31], 0);
}

TEST(KeyHeader, ParseRoundTripWithManySlots) {
    KeyHeader in;
    in.magic = magic_for(Arrangement::EachFile, Protection::Sharing);
    for (int i = 0; i < 3; ++i) in.slots.push_back({kSlotEcc, Bytes(59, std::uint8_t(i))});
    in.slots.push_back({kSlotReserved, Bytes(200, 7)});
    Bytes buf = build_key_header(in);
    EXPECT_EQ(buf.size(), 12u + 3 * (4 + 59) + 4 + 200);
    put_u32(buf, 0x01020304);
    KeyHeader out;
    std::uint32_t ct = 0;
    ASSERT_TRUE(parse_key_header(buf, out, ct));
    EXPECT_EQ(ct, 0x01020304u);
    EXPECT_EQ(out.magic, in.magic);
    ASSERT_EQ(out.slots.size(), 4u);
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(out.slots[i].kind, in.slots[i].kind);
        EXPECT_EQ(out.slots[i].wrapped, in.slots[i].wrapped);
    }
    EXPECT_EQ(out.data_mechanism, 18);
}

TEST(KeyHeader, NegativeSlotCountMeansNoSlots) {
    Bytes buf = bytes_of("CyEPX1.0");
    put_u16(buf, 0xFFFF);  // -1
    put_u16(buf, 18);
    put_u32(buf, 5);
    KeyHeader out;
    std::uint32_t ct = 0;
    ASSERT_TRUE(parse_key_header(buf, out, ct));
    EXPECT_TRUE(out.slots.empty());
    EXPECT_EQ(ct, 5u);
}

TEST(KeyHeader, RefusesEveryInconsistentLength) {
    Bytes good = build_key_header(password_header(kSlotSeed));
    put_u32(good, 9);
    KeyHeader out;
    std::uint32_t ct = 0;
    // A header read with a wrong H: the slots overrun it or leave bytes over.
    for (std::size_t len = 0; len < good.size(); ++len) {
        Bytes cut(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(len));
        EXPECT_FALSE(parse_key_header(cut, out, ct)) << len;
    }
    Bytes longer = good;
    longer.insert(longer.begin() + 32, 0);
    EXPECT_FALSE(parse_key_header(longer, out, ct));
    Bytes big_slot = good;
    big_slot[12] = 0xFF;  // W far beyond the header
    EXPECT_FALSE(parse_key_header(big_slot, out, ct));
}

TEST(EntryPrefixes, LayoutOfEachKind) {
    Bytes header = build_key_header(password_header(kSlotSeed));
    Bytes each = each_file_prefix(false, header);
    ASSERT_EQ(each.size(), 6u + 32);
    EXPECT_EQ(each[0], '1');
    EXPECT_EQ(each[1], 0);
    EXPECT_EQ(get_u32(&each[2]), 32u);
    EXPECT_EQ(std::string(each.begin() + 6, each.begin() + 11), "CyEPX");
    EXPECT_EQ(each_file_prefix(true, header)[0], '0');

    Bytes start = package_start(3, true);
    EXPECT_EQ(start, (Bytes{3, 0, '0', 0}));

    Bytes m = message_entry_prefix(header, 10);
    EXPECT_EQ(get_u32(&m[0]), 32u + 24 + 10);
    EXPECT_EQ(get_u32(&m[4]), 32u);

    Bytes name = bytes_of("C:\\a\\b.txt");
    Bytes f = file_entry_prefix(name, header, 5);
    EXPECT_EQ(get_u32(&f[0]), 10u);
    EXPECT_EQ(std::string(f.begin() + 4, f.begin() + 14), "C:\\a\\b.txt");
    EXPECT_EQ(get_u32(&f[14]), 61u);
    EXPECT_EQ(get_u32(&f[18]), 32u);
    EXPECT_EQ(f.size(), 22u + 32);
}

TEST(EntryPrefixes, SizeLimitOfOneEntry) {
    EXPECT_TRUE(entry_size_fits(32, 1536000000ull));
    EXPECT_FALSE(entry_size_fits(32, 0xFFFFFFFFull));
}

TEST(DetectKind, ByMagicThenPictureMarker) {
    Bytes header = build_key_header(password_header(kSlotSeed));
    KeyHeader each_header = password_header(kSlotSeed);
    each_header.magic = magic_for(Arrangement::EachFile, Protection::Password);
    Bytes each = each_file_prefix(false, build_key_header(each_header));
    Bytes pkg_msg = package_start(1, true);
    put_bytes(pkg_msg, message_entry_prefix(header, 3));
    Bytes pkg_file = package_start(1, false);
    put_bytes(pkg_file, file_entry_prefix(bytes_of("x.txt"), header, 3));
    Bytes picture = bytes_of(std::string("BM\x10\x00\x00\x00rest of a picture97", 25));
    Bytes marker_only = bytes_of("XX picture-ish tail 97");
    // An each-file item ending in "97" is still an each-file item.
    Bytes each97 = each;
    put_bytes(each97, bytes_of("97"));
    Bytes ecc_each = each;
    ecc_each[10] = 'C';

    struct Case {
        const char* name;
        const Bytes& data;
        InputKind kind;
    } cases[] = {
        {"each-file", each, InputKind::EachFile},
        {"each-file sharing", ecc_each, InputKind::EachFile},
        {"package with message", pkg_msg, InputKind::Package},
        {"package without message", pkg_file, InputKind::Package},
        {"carrying picture", picture, InputKind::Picture},
        {"97 without BM", marker_only, InputKind::None},
        {"each-file ending in 97", each97, InputKind::EachFile},
        {"empty", Bytes{}, InputKind::None},
    };
    for (const Case& c : cases) {
        MemorySource src(c.data);
        EXPECT_EQ(detect_kind(src), c.kind) << c.name;
    }
}

TEST(DetectKind, HugeStoredNameLengthIsNotAPackage) {
    Bytes data = package_start(1, false);
    put_u32(data, 0xFFFFFFF0u);
    data.resize(64, 'x');
    MemorySource src(data);
    EXPECT_EQ(detect_kind(src), InputKind::None);
}

TEST(LeafName, StaysInsideTheOutputFolder) {
    struct Case {
        const char* stored;
        const char* leaf;  // "" = refused
    } cases[] = {
        {"C:\\docs\\a.txt", "a.txt"},
        {"a.txt", "a.txt"},
        {"..\\..\\x", "x"},
        {"/etc/x", "x"},
        {"a/../../b", "b"},
        {"C:\\x\\", ""},
        {"..", ""},
        {".", ""},
        {"", ""},
        {"dir/..", ""},
        {"bad\nname", "bad\nname"},                        // made a plain name by safe_leaf_name
        {"\xc7\xd1\xb1\xdb.txt", "\xc7\xd1\xb1\xdb.txt"},  // code-page bytes pass through
    };
    for (const Case& c : cases) {
        Bytes stored = bytes_of(c.stored);
        EXPECT_EQ(leaf_name(stored), c.leaf) << c.stored;
    }
}

}  // namespace
}  // namespace package
