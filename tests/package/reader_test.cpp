// Structure reading of packages and each-file items, intact and damaged.
#include "package/reader.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "package/messages.h"

namespace package {
namespace {

Bytes bytes_of(const std::string& s) {
    return Bytes(s.begin(), s.end());
}

Bytes header_bytes() {
    KeyHeader h;
    h.magic = magic_for(Arrangement::Package, Protection::Password);
    h.slots.push_back({kSlotSeed, Bytes(16, 0x11)});
    return build_key_header(h);
}

// The sealed body with stand-in ciphertext: the reader does not decrypt.
void put_sealed(Bytes& out, std::size_t ct) {
    put_u32(out, static_cast<std::uint32_t>(ct));
    out.insert(out.end(), kCheckBlockSize, 0xCC);
    out.insert(out.end(), ct, 0xEE);
}

Bytes sample_package(bool with_message) {
    Bytes h = header_bytes();
    Bytes out = package_start(with_message ? 3 : 2, with_message);
    if (with_message) {
        put_bytes(out, message_entry_prefix(h, 7));
        put_sealed(out, 7);
    }
    put_bytes(out, file_entry_prefix(bytes_of("C:\\d\\one.txt"), h, 5));
    put_sealed(out, 5);
    put_bytes(out, file_entry_prefix(bytes_of("two"), h, 0));
    put_sealed(out, 0);
    return out;
}

TEST(ReadPackage, OutlineOfIntactPackage) {
    Bytes data = sample_package(true);
    data.insert(data.end(), 5, 5);  // picture padding after the last entry
    MemorySource src(data);
    Outline o = read_package(src);
    ASSERT_EQ(o.error, "");
    ASSERT_EQ(o.entries.size(), 3u);
    EXPECT_TRUE(o.entries[0].is_message);
    EXPECT_EQ(o.entries[0].ct_length, 7u);
    EXPECT_EQ(o.entries[0].body_offset, 4u + 8 + 32 + 4 + 16);
    EXPECT_EQ(o.entries[1].stored_name, bytes_of("C:\\d\\one.txt"));
    EXPECT_EQ(o.entries[1].ct_length, 5u);
    EXPECT_EQ(o.entries[1].header_bytes, header_bytes());
    EXPECT_EQ(o.entries[1].check_block[0], 0xCC);
    EXPECT_EQ(o.entries[2].ct_length, 0u);
}

// Whatever byte the file ends at, the reader names a read error and never
// reports an entry whose body lies beyond the end.
TEST(ReadPackage, EveryTruncationIsAReadError) {
    const std::set<std::string> known = {
        msg::kCountRead,      msg::kFlagRead,         msg::kMessageLengthRead,
        msg::kMessageRead,    msg::kNameLengthRead,   msg::kNameRead,
        msg::kFileLengthRead, msg::kHeaderLengthRead, msg::kEncryptedMessageRead};
    for (bool with_message : {false, true}) {
        Bytes data = sample_package(with_message);
        for (std::size_t len = 0; len < data.size(); ++len) {
            MemorySource src(std::span<const std::uint8_t>(data.data(), len));
            Outline o = read_package(src);
            EXPECT_TRUE(known.count(o.error)) << "len " << len << ": '" << o.error << "'";
            for (const SealedEntry& e : o.entries) EXPECT_LE(e.body_offset + e.ct_length, len);
        }
    }
}

TEST(ReadPackage, HostileLengths) {
    Bytes h = header_bytes();
    struct Case {
        const char* name;
        Bytes data;
        const char* error;
    };
    std::vector<Case> cases;
    {
        Bytes d = package_start(1, false);
        put_u32(d, 0xFFFFFFFFu);  // name length beyond the file
        d.resize(40, 'n');
        cases.push_back({"name length", d, msg::kNameRead});
    }
    {
        Bytes d = package_start(1, true);
        put_u32(d, 0x7FFFFFFFu);  // message R beyond the file
        d.resize(60, 0);
        cases.push_back({"message R", d, msg::kMessageRead});
    }
    {
        Bytes d = package_start(1, true);
        put_u32(d, 20);  // R too small for the header it announces
        put_u32(d, 32);
        put_bytes(d, h);
        put_sealed(d, 3);
        cases.push_back({"message R too small", d, msg::kMessageRead});
    }
    {
        Bytes d = package_start(1, true);
        put_bytes(d, message_entry_prefix(h, 3));
        put_sealed(d, 3);
        set_u32(&d[4 + 8 + 32], 4);  // CT past the end of R
        cases.push_back({"message CT", d, msg::kEncryptedMessageRead});
    }
    {
        Bytes d = package_start(1, false);
        put_bytes(d, file_entry_prefix(bytes_of("x"), h, 3));
        put_sealed(d, 3);
        set_u32(&d[4 + 4 + 1 + 4], 0xFFFFFFF0u);  // H
        cases.push_back({"header length", d, msg::kHeaderLengthRead});
    }
    {
        Bytes d = package_start(1, false);
        put_bytes(d, file_entry_prefix(bytes_of("x"), h, 3));
        put_sealed(d, 3);
        set_u32(&d[4 + 4 + 1 + 4 + 4 + 32], 0xFFFFFFFFu);  // CT
        cases.push_back({"ciphertext length", d, msg::kFileLengthRead});
    }
    {
        Bytes d = package_start(0xFFFF, false);  // more entries than present
        put_bytes(d, file_entry_prefix(bytes_of("x"), h, 3));
        put_sealed(d, 3);
        cases.push_back({"entry count", d, msg::kNameLengthRead});
    }
    {
        Bytes d = package_start(0, true);
        cases.push_back({"message flag with no entries", d, msg::kCountRead});
    }
    {
        Bytes d = {1, 0, '2', 0};
        cases.push_back({"bad flag", d, msg::kFlagRead});
    }
    for (const Case& c : cases) {
        MemorySource src(c.data);
        EXPECT_EQ(read_package(src).error, c.error) << c.name;
    }
}

// A CT lowered below what the entry holds: R (or, for an each-file item,
// the end of the file) still tells the truth, so the entry is damaged; read
// as given it would decrypt to a cut or empty file.
TEST(ReadPackage, LoweredCiphertextLengthIsDamage) {
    constexpr std::uint32_t kCt = 40;
    const Bytes h = header_bytes();
    struct Layout {
        const char* name;
        Bytes data;
        std::size_t ct_at;  // offset of the CT field to lower
        bool each_file;
        const char* error;
    };
    std::vector<Layout> layouts;
    {
        Bytes d = package_start(2, false);
        put_bytes(d, file_entry_prefix(bytes_of("C:\\a.txt"), h, 5));
        put_sealed(d, 5);
        put_bytes(d, file_entry_prefix(bytes_of("C:\\last.bin"), h, kCt));
        const std::size_t at = d.size();
        put_sealed(d, kCt);
        layouts.push_back({"last file entry", d, at, false, msg::kFileLengthRead});
    }
    {
        Bytes d = package_start(2, false);
        put_bytes(d, file_entry_prefix(bytes_of("first.bin"), h, kCt));
        const std::size_t at = d.size();
        put_sealed(d, kCt);
        put_bytes(d, file_entry_prefix(bytes_of("second.txt"), h, 5));
        put_sealed(d, 5);
        layouts.push_back({"first file entry", d, at, false, msg::kFileLengthRead});
    }
    {
        Bytes d = package_start(2, true);
        put_bytes(d, message_entry_prefix(h, kCt));
        const std::size_t at = d.size();
        put_sealed(d, kCt);
        put_bytes(d, file_entry_prefix(bytes_of("a.txt"), h, 5));
        put_sealed(d, 5);
        layouts.push_back({"message entry", d, at, false, msg::kMessageRead});
    }
    {
        Bytes d = each_file_prefix(false, h);
        const std::size_t at = d.size();
        put_sealed(d, kCt);
        layouts.push_back({"each-file item", d, at, true, msg::kFileLengthRead});
    }
    {
        Bytes d = each_file_prefix(true, h);
        const std::size_t at = d.size();
        put_sealed(d, kCt);
        layouts.push_back({"each-file message", d, at, true, msg::kEncryptedMessageRead});
    }
    for (const Layout& l : layouts) {
        {
            MemorySource intact(l.data);
            EXPECT_EQ((l.each_file ? read_each_file(intact) : read_package(intact)).error, "")
                << l.name;
        }
        for (std::uint32_t lowered : {0u, 1u, 15u, 16u, kCt - 1}) {
            Bytes d = l.data;
            ASSERT_EQ(get_u32(&d[l.ct_at]), kCt) << l.name;
            set_u32(&d[l.ct_at], lowered);
            MemorySource src(d);
            Outline o = l.each_file ? read_each_file(src) : read_package(src);
            EXPECT_EQ(o.error, l.error) << l.name << ", CT " << lowered;
        }
    }
}

TEST(ReadEachFile, IntactAndTruncated) {
    Bytes data = each_file_prefix(false, header_bytes());
    put_sealed(data, 9);
    MemorySource src(data);
    Outline o = read_each_file(src);
    ASSERT_EQ(o.error, "");
    ASSERT_EQ(o.entries.size(), 1u);
    EXPECT_FALSE(o.entries[0].is_message);
    EXPECT_EQ(o.entries[0].body_offset, 6u + 32 + 4 + 16);
    for (std::size_t len = 0; len < data.size(); ++len) {
        MemorySource cut(std::span<const std::uint8_t>(data.data(), len));
        EXPECT_NE(read_each_file(cut).error, "") << len;
    }
}

}  // namespace
}  // namespace package
