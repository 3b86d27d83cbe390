// Bitmap headers: the standard variants as a real encoder writes them, the
// simulator's extended formats built byte by byte, truncated and foreign
// files; and the block they give the install confirmation.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "sets/bitmap_header.h"
#include "sets/install.h"
#include "test_sets_view.h"

namespace vm {
namespace {

void Put16(std::string& s, size_t at, uint32_t v) {
    s[at] = static_cast<char>(v & 0xFF);
    s[at + 1] = static_cast<char>((v >> 8) & 0xFF);
}
void Put32(std::string& s, size_t at, uint32_t v) {
    Put16(s, at, v & 0xFFFF);
    Put16(s, at + 2, v >> 16);
}

// A v3 header (or `infoSize` long) with masks, then `pixels` bytes.
std::string Bitmap(int32_t w, int32_t h, unsigned bits, uint32_t compression, uint64_t pixels,
                   std::vector<uint32_t> masks = {}, uint32_t infoSize = 40) {
    const uint32_t off = 14 + infoSize + (infoSize == 40 ? 4 * static_cast<uint32_t>(masks.size()) : 0);
    std::string s(off + pixels, '\0');
    s[0] = 'B', s[1] = 'M';
    Put32(s, 2, static_cast<uint32_t>(s.size()));
    Put32(s, 10, off);
    Put32(s, 14, infoSize);
    Put32(s, 18, static_cast<uint32_t>(w));
    Put32(s, 22, static_cast<uint32_t>(h));
    Put16(s, 26, 1);
    Put16(s, 28, bits);
    Put32(s, 30, compression);
    for (size_t i = 0; i < masks.size(); ++i) Put32(s, 54 + 4 * i, masks[i]);
    return s;
}

constexpr uint32_t kDxt1 = 0x31545844, kDxt3 = 0x33545844;

// Bytes of a DXT image and all its smaller levels down to 1x1.
uint64_t DxtChain(uint64_t w, uint64_t h, uint64_t block) {
    uint64_t total = 0;
    for (;;) {
        total += ((w + 3) / 4) * ((h + 3) / 4) * block;
        if (w == 1 && h == 1) return total;
        w = w > 1 ? w / 2 : 1, h = h > 1 ? h / 2 : 1;
    }
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

struct Row {
    const char* file;
    long w, h;
    const char* format;
};

TEST(BitmapHeader, StandardVariantsFromARealEncoder) {
    const Row rows[] = {
        {"core.bmp", 16, 8, "24-bit"}, {"v3.bmp", 16, 8, "24-bit"}, {"v5.bmp", 16, 8, "24-bit"},
        {"pal.bmp", 16, 8, "4-bit"},   {"565.bmp", 16, 8, "565"},   {"4444.bmp", 16, 8, "4444"},
        {"8888.bmp", 16, 8, "8888"},
    };
    for (const Row& r : rows) {
        const std::string data = ReadFile(std::string(VM_BMP_DIR) + "/" + r.file);
        if (data.empty()) GTEST_SKIP() << "no bitmaps were written (ImageMagick missing)";
        const BitmapInfo info = ReadBitmapHeader(data, data.size());
        EXPECT_TRUE(info.bitmap) << r.file;
        EXPECT_FALSE(info.truncated) << r.file;
        EXPECT_EQ(DescribeBitmap(info), std::to_string(r.w) + "x" + std::to_string(r.h) + " " + r.format) << r.file;
        // Cut one byte off the pixels: shorter than the header says.
        const BitmapInfo cut = ReadBitmapHeader(data.substr(0, data.size() - 1), data.size() - 1);
        EXPECT_TRUE(cut.truncated) << r.file;
        // The same picture stored top-down.
        if (std::string(r.file) == "v3.bmp") {
            std::string flipped = data;
            Put32(flipped, 22, static_cast<uint32_t>(-8));
            const BitmapInfo td = ReadBitmapHeader(flipped, flipped.size());
            EXPECT_TRUE(td.topDown);
            EXPECT_EQ(DescribeBitmap(td), "16x8 24-bit");
        }
    }
}

TEST(BitmapHeader, ExtendedFormatsAndForeignFiles) {
    struct Case {
        std::string name, data, described;
        bool bitmap, truncated;
        int mips;
    };
    const uint64_t row565 = 512 * 2;
    const std::vector<Case> cases = {
        {"DXT1 with every level", Bitmap(256, 256, 16, kDxt1, DxtChain(256, 256, 8)), "256x256 DXT1", true, false, 8},
        {"DXT3 main image only", Bitmap(512, 512, 16, kDxt3, DxtChain(1, 1, 16) * 128 * 128), "512x512 DXT3", true,
         false, 0},
        {"DXT1 cut in its main image", Bitmap(64, 64, 16, kDxt1, 16 * 16 * 8 - 1), "64x64 DXT1", true, true, 0},
        // 565 and 4444 with masks in the upper half, as the simulator's tools write them.
        {"565 upper masks", Bitmap(512, 256, 16, 3, row565 * 256, {0xF8000000, 0x07E00000, 0x001F0000}),
         "512x256 565", true, false, 0},
        {"4444 upper masks", Bitmap(8, 8, 16, 3, 128 + 32 + 8, {0xF0000000, 0x0F000000, 0x00F00000}),
         "8x8 4444", true, false, 2},
        {"8888 masks", Bitmap(4, 4, 32, 3, 64, {0xFF0000, 0xFF00, 0xFF}), "4x4 8888", true, false, 0},
        {"v4 header top-down", Bitmap(4, -2, 24, 0, 24, {}, 108), "4x2 24-bit", true, false, 0},
        {"v3 8-bit", Bitmap(3, 3, 8, 0, 12), "3x3 8-bit", true, false, 0},
        {"text file", "hello, not a picture", "", false, false, 0},
        {"only the file header", std::string("BM") + std::string(12, '\0'), "", false, false, 0},
        {"unknown header size", Bitmap(4, 4, 24, 0, 48, {}, 41), "", false, false, 0},
        {"zero width", Bitmap(0, 4, 24, 0, 48), "", false, false, 0},
    };
    for (const Case& c : cases) {
        const BitmapInfo info = ReadBitmapHeader(c.data, c.data.size());
        EXPECT_EQ(info.bitmap, c.bitmap) << c.name;
        if (!c.bitmap) continue;
        EXPECT_EQ(DescribeBitmap(info), c.described) << c.name;
        EXPECT_EQ(info.truncated, c.truncated) << c.name;
        EXPECT_EQ(info.mipLevels, c.mips) << c.name;
    }
}

TEST(BitmapHeader, CheckLines) {
    const std::string dxt1 = Bitmap(256, 256, 16, kDxt1, DxtChain(256, 256, 8));
    const std::string dxt3 = Bitmap(512, 512, 16, kDxt3, DxtChain(512, 512, 16));
    const BitmapInfo a = ReadBitmapHeader(dxt1, dxt1.size()), b = ReadBitmapHeader(dxt3, dxt3.size());
    const BitmapInfo text = ReadBitmapHeader("text", 4);
    const BitmapInfo cut = ReadBitmapHeader(dxt1.substr(0, 100), 100);
    EXPECT_EQ(BitmapCheckLine("cld4.bmp", a, &b), "cld4.bmp: 256x256 DXT1 replaces 512x512 DXT3");
    EXPECT_EQ(BitmapCheckLine("cld4.bmp", a, &a), "");
    EXPECT_EQ(BitmapCheckLine("cld4.bmp", a, nullptr), "");
    EXPECT_EQ(BitmapCheckLine("cld4.bmp", text, &b), "cld4.bmp: not a bitmap");
    EXPECT_EQ(BitmapCheckLine("cld4.bmp", text, &text), "");
    EXPECT_EQ(BitmapCheckLine("cld4.bmp", cut, nullptr), "cld4.bmp: 256x256 DXT1, shorter than its header says");
}

// The install confirmation names the files in a block at its end; nothing
// is refused; with AutoRandom on nothing is asked.
class BitmapConfirmTest : public SetsFixture {};

TEST_F(BitmapConfirmTest, TheConfirmationEndsWithTheBlockAndNothingIsRefused) {
    const std::string dxt1 = Bitmap(256, 256, 16, kDxt1, DxtChain(256, 256, 8));
    const std::string dxt3 = Bitmap(512, 512, 16, kDxt3, DxtChain(512, 512, 16));
    te.fs.AddDir(te.env.programDir);
    te.fs.AddDir(kData);
    te.fs.AddFile(Data("Cumu\\cld4.bmp"), dxt1);
    te.fs.AddFile(Tex("cld4.bmp"), dxt3);
    te.fs.AddFile(Data("Cumu\\cld5.bmp"), dxt3);
    te.fs.AddFile(Tex("cld5.bmp"), dxt3 + "x");
    te.fs.AddFile(Data("Cumu\\cld6.bmp"), "plain text");
    te.fs.AddFile(Tex("cld6.bmp"), dxt3);
    te.fs.AddFile(Bak("cld4.bmp"), dxt3);
    te.fs.AddFile(Bak("cld5.bmp"), dxt3);
    te.fs.AddFile(Bak("cld6.bmp"), dxt3);
    LoadSets({"Cumu"});
    te.msg.Answer({1});
    EXPECT_TRUE(ctl.InstallSet());
    ASSERT_EQ(te.msg.calls.size(), 1u);
    EXPECT_EQ(te.msg.calls[0].text,
              "*** Cumu ***\r\n\r\nFollowing files will be installed.\r\n cld4.bmp\r\n cld5.bmp\r\n cld6.bmp"
              "\r\n\r\nFollowing files differ from the files they replace.\r\n"
              " cld4.bmp: 256x256 DXT1 replaces 512x512 DXT3\r\n cld6.bmp: not a bitmap");
    EXPECT_EQ(te.fs.Content(Tex("cld4.bmp")), dxt1);
    EXPECT_EQ(te.fs.Content(Tex("cld6.bmp")), "plain text");
}

}  // namespace
}  // namespace vm
