// The input lists, proposed output names and picture capacity texts.
#include "package/inputs.h"

#include <gtest/gtest.h>

#include "package/codepage.h"
#include "package/messages.h"
#include "package/stego.h"
#include "run_fixture.h"

namespace package {
namespace {

namespace fs = std::filesystem;
using testing_support::ScriptedUi;

class InputsTest : public testing_support::ScratchDir {
  protected:
    fs::path sparse(const std::string& name, std::uint64_t size) {
        fs::path p = write(fs::path("in") / name, "");
        fs::resize_file(p, size);
        return p;
    }
    ScriptedUi ui_;
};

TEST_F(InputsTest, EncryptListRefusals) {
    const fs::path a = write("in/a", "aaaa"), b = write("in/b", "bb");
    struct Case {
        const char* name;
        std::vector<fs::path> first, second;
        std::size_t added;
        std::vector<std::string> messages;
        std::uint64_t total;
    } cases[] = {
        {"duplicate drops the rest", {a}, {b, a, write("in/c", "c")}, 2, {msg::kDuplicateFile}, 6},
        {"exactly the limit", {sparse("limit", kSizeLimit)}, {}, 1, {}, kSizeLimit},
        {"one byte over",
         {sparse("over", kSizeLimit + 1)},
         {},
         0,
         {std::string(msg::kWarningCaption) + ": " + msg::kEncryptLimit},
         0},
        {"total over the limit",
         {sparse("big", kSizeLimit - 3)},
         {a, b},
         1,
         {std::string(msg::kWarningCaption) + ": " + msg::kEncryptLimit},
         kSizeLimit - 3},
        {"unreadable ends silently", {dir_ / "in" / "missing", a}, {}, 0, {}, 0},
    };
    for (const Case& c : cases) {
        ui_ = ScriptedUi{};
        InputList list;
        std::size_t added = add_encrypt_inputs(list, c.first, ui_);
        added += add_encrypt_inputs(list, c.second, ui_);
        EXPECT_EQ(added, c.added) << c.name;
        EXPECT_EQ(ui_.messages, c.messages) << c.name;
        EXPECT_EQ(list.total, c.total) << c.name;
    }
}

TEST_F(InputsTest, DecryptListCountsPlainBytesAndRemovalTakesOffWhatWasAdded) {
    // An each-file item of 10 plain bytes, and a carrying picture.
    Bytes item = {'1', 0, 32, 0, 0, 0};
    Bytes header(32, 0);
    std::copy_n("CyEEX1.0", 8, header.begin());
    header[8] = 1;
    header[10] = 18;
    header[12] = 16;
    header[30] = 18;
    item.insert(item.end(), header.begin(), header.end());
    put_u32(item, 10);
    item.insert(item.end(), 26, 0);
    const fs::path vlr = write("in/x.vlr", item);
    Bytes bmp(5000, 1);
    bmp[0] = 'B';
    bmp[1] = 'M';
    bmp.push_back('9');
    bmp.push_back('7');
    const fs::path pic = write("in/p.bmp", bmp);
    InputList list;
    ASSERT_EQ(add_decrypt_inputs(list, std::vector<fs::path>{vlr, pic}, ui_), 2u);
    EXPECT_EQ(list.counted, (std::vector<std::uint64_t>{10, 0}));
    EXPECT_EQ(list.total, 10u);
    list.remove(0);
    EXPECT_EQ(list.total, 0u);
    EXPECT_EQ(list.paths, std::vector<fs::path>{pic});
}

TEST_F(InputsTest, ProposedOutputNames) {
    const fs::path doc = write("work/x/report.doc", "r");
    const fs::path other = write("work/x/b.txt", "b");
    const fs::path cwd = dir_ / "cwd";
    struct Case {
        EncryptMode mode;
        std::vector<fs::path> files;
        bool message;
        fs::path expected;
    } cases[] = {
        {EncryptMode::Package, {doc}, false, dir_ / "work/x/report.doc.vlr"},
        {EncryptMode::Package, {doc, other}, false, dir_ / "work/x/x.vlr"},
        {EncryptMode::Package, {}, true, cwd / u8"꾸러미메세지.vlr"},
        {EncryptMode::EachFile, {doc}, true, dir_ / "work/x" / u8"메세지파일.vlr"},
        {EncryptMode::EachFile, {}, true, cwd / u8"메세지파일.vlr"},
        {EncryptMode::EachFile, {doc}, false, fs::path()},
        {EncryptMode::Pictures, {doc}, true, fs::path()},
    };
    for (const Case& c : cases)
        EXPECT_EQ(default_output_name(c.mode, c.files, c.message, cwd), c.expected);

    // Taken names count on: report.doc(1).vlr, then (2).
    write("work/x/report.doc.vlr", "");
    EXPECT_EQ(default_output_name(EncryptMode::Package, std::vector<fs::path>{doc}, false, cwd),
              dir_ / "work/x/report.doc(1).vlr");
    write("work/x/report.doc(1).vlr", "");
    EXPECT_EQ(unique_output_name(dir_ / "work/x/report.doc(1).vlr"),
              dir_ / "work/x/report.doc(2).vlr");
}

TEST(CapacityText, ShortfallInThousands) {
    EXPECT_EQ(capacity_text(2999, 1000), "1 kbytes 부족");
    EXPECT_EQ(capacity_text(1999, 1000), "0 kbytes 부족");
    EXPECT_EQ(capacity_text(1000, 1000), "충분");
    EXPECT_EQ(capacity_text(0, 0), "충분");
}

TEST_F(InputsTest, ChoosingPictures) {
    const fs::path file = write("in/secret", std::string(20000, 's'));
    std::vector<fs::path> chosen;
    for (int i = 0; i < 3; ++i)
        chosen.push_back(picture(std::string("p") + std::to_string(i) + ".bmp", 80010, i));
    PictureChoice c = choose_pictures(chosen, std::vector<fs::path>{file}, 100, ui_);
    EXPECT_EQ(c.pictures.size(), 3u);
    EXPECT_TRUE(c.sufficient);
    EXPECT_EQ(c.capacity_text, "충분");
    EXPECT_TRUE(ui_.messages.empty());

    c = choose_pictures(std::vector<fs::path>{chosen[0]}, std::vector<fs::path>{file}, 100, ui_);
    EXPECT_FALSE(c.sufficient);
    EXPECT_EQ(c.capacity_text, "10 kbytes 부족");  // 20100 - (10001 - 70)

    const fs::path tiny = picture("tiny.bmp", 100, 9);
    c = choose_pictures(std::vector<fs::path>{chosen[0], tiny, chosen[1]},
                        std::vector<fs::path>{file}, 0, ui_);
    EXPECT_EQ(c.pictures, std::vector<fs::path>{chosen[0]});
    EXPECT_EQ(ui_.messages.back(), msg::kPictureOpen);

    std::vector<fs::path> many;
    for (int i = 0; i < 121; ++i)
        many.push_back(picture(std::string("many") + std::to_string(i) + ".bmp", 1000, 100 + i));
    c = choose_pictures(many, {}, 1, ui_);
    EXPECT_EQ(c.pictures.size(), kMaxPictures);
    EXPECT_EQ(ui_.messages.back(), msg::kTooManyPictures);

    // One picture twice (here by another spelling), or a picture that is
    // also a file to hide, ends the choice at that picture.
    const fs::path again = dir_ / "pics" / "." / "p0.bmp";
    c = choose_pictures(std::vector<fs::path>{chosen[0], chosen[1], again, chosen[2]},
                        std::vector<fs::path>{file}, 0, ui_);
    EXPECT_EQ(c.pictures, (std::vector<fs::path>{chosen[0], chosen[1]}));
    EXPECT_EQ(ui_.messages.back(), std::string(msg::kDuplicateFile) + "\n" + path_text(again));
    c = choose_pictures(chosen, std::vector<fs::path>{file, chosen[1]}, 0, ui_);
    EXPECT_EQ(c.pictures, std::vector<fs::path>{chosen[0]});
    EXPECT_EQ(ui_.messages.back(), std::string(msg::kPictureIsInput) + "\n" + path_text(chosen[1]));

    c = choose_pictures(chosen, std::vector<fs::path>{dir_ / "gone"}, 0, ui_);
    EXPECT_TRUE(c.pictures.empty());
    EXPECT_EQ(ui_.messages.back(), msg::kHiddenFileOpen);
}

}  // namespace
}  // namespace package
