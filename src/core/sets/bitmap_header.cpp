#include "sets/bitmap_header.h"

#include <bit>
#include <cstdint>

namespace vm {

namespace {

uint32_t U16(const std::string& s, size_t at) {
    if (at + 2 > s.size()) return 0;
    return static_cast<unsigned char>(s[at]) | (static_cast<unsigned char>(s[at + 1]) << 8);
}

uint32_t U32(const std::string& s, size_t at) {
    if (at + 4 > s.size()) return 0;
    return U16(s, at) | (U16(s, at + 2) << 16);
}

constexpr uint32_t kFileHeader = 14;
constexpr uint32_t kRgb = 0, kRle8 = 1, kRle4 = 2, kBitFields = 3, kJpeg = 4, kPng = 5, kAlphaBitFields = 6;
constexpr uint32_t FourCc(char a, char b, char c, char d) {
    return static_cast<uint32_t>(a) | (static_cast<uint32_t>(b) << 8) | (static_cast<uint32_t>(c) << 16) |
           (static_cast<uint32_t>(d) << 24);
}
constexpr uint32_t kDxt1 = FourCc('D', 'X', 'T', '1'), kDxt3 = FourCc('D', 'X', 'T', '3');

// 16-bit masks may be written in the upper half of the double word.
uint32_t Mask16(uint32_t m) { return (m & 0xFFFFu) ? m : m >> 16; }

std::string BitFieldFormat(unsigned bits, uint32_t r, uint32_t g, uint32_t b) {
    if (bits == 16) {
        r = Mask16(r), g = Mask16(g), b = Mask16(b);
        const int rb = std::popcount(r), gb = std::popcount(g), bb = std::popcount(b);
        if (rb == 5 && gb == 6 && bb == 5) return "565";
        if (rb == 4 && gb == 4 && bb == 4) return "4444";
        if (rb == 5 && gb == 5 && bb == 5) return "1555";
        return "16-bit " + std::to_string(rb) + std::to_string(gb) + std::to_string(bb);
    }
    if (bits == 32) {
        const int rb = std::popcount(r), gb = std::popcount(g), bb = std::popcount(b);
        if (rb == 8 && gb == 8 && bb == 8) return "8888";
        return "32-bit " + std::to_string(rb) + std::to_string(gb) + std::to_string(bb);
    }
    return std::to_string(bits) + "-bit";
}

// Bytes of one image of the format at that size.
unsigned long long ImageBytes(const BitmapInfo& info, unsigned bits, unsigned long long w, unsigned long long h) {
    if (info.format == "DXT1" || info.format == "DXT3") {
        const unsigned long long bw = (w + 3) / 4, bh = (h + 3) / 4;
        return bw * bh * (info.format == "DXT1" ? 8 : 16);
    }
    const unsigned long long row = (w * bits + 31) / 32 * 4;
    return row * h;
}

}  // namespace

BitmapInfo ReadBitmapHeader(const std::string& head, unsigned long long fileSize) {
    BitmapInfo info;
    if (head.size() < kFileHeader + 12 || head[0] != 'B' || head[1] != 'M') return info;
    const uint32_t offBits = U32(head, 10);
    const uint32_t headerSize = U32(head, 14);
    unsigned bits = 0;
    uint32_t compression = kRgb, sizeImage = 0;
    long height = 0;
    if (headerSize == 12) {  // core header: 16-bit sizes
        info.width = static_cast<long>(U16(head, 18));
        height = static_cast<int16_t>(U16(head, 20));
        bits = U16(head, 24);
    } else if (headerSize == 16 || headerSize == 40 || headerSize == 52 || headerSize == 56 ||
               headerSize == 64 || headerSize == 108 || headerSize == 124) {
        if (head.size() < kFileHeader + 16) return info;
        info.width = static_cast<int32_t>(U32(head, 18));
        height = static_cast<int32_t>(U32(head, 22));
        bits = U16(head, 28);
        if (headerSize >= 20) compression = U32(head, 30);
        if (headerSize >= 24) sizeImage = U32(head, 34);
    } else {
        return info;
    }
    if (info.width <= 0 || height == 0 || height == INT32_MIN) return info;
    info.topDown = height < 0;
    info.height = height < 0 ? -height : height;
    // OS/2 version 2 headers use 3 for Huffman and 4 for 24-bit RLE.
    const bool os2 = headerSize == 16 || headerSize == 64;
    if (compression == kDxt1 || compression == kDxt3) {
        info.format = compression == kDxt1 ? "DXT1" : "DXT3";
    } else if ((compression == kBitFields || compression == kAlphaBitFields) && !os2) {
        // Masks follow a v3 header, or are part of a longer one.
        const uint32_t at = kFileHeader + 40;
        if (head.size() < at + 12) return info;
        info.format = BitFieldFormat(bits, U32(head, at), U32(head, at + 4), U32(head, at + 8));
    } else if (compression == kRgb) {
        if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32) return info;
        // Plain 16 and 32 bits are 555 and 888 without masks.
        info.format = bits == 16 ? "1555" : bits == 32 ? "8888" : std::to_string(bits) + "-bit";
    } else if (compression == kRle8 || compression == kRle4 || compression == kJpeg || compression == kPng ||
               os2) {
        info.format = std::to_string(bits) + "-bit RLE";
        if (compression == kJpeg) info.format = "JPEG";
        if (compression == kPng) info.format = "PNG";
    } else {
        return info;
    }
    info.bitmap = true;
    // How long the header says the file is: its size field, and the
    // pixels of the main image after their offset.
    unsigned long long needed = U32(head, 2);
    const bool packed = compression == kRgb || compression == kBitFields || compression == kAlphaBitFields ||
                        compression == kDxt1 || compression == kDxt3;
    const unsigned long long main = packed ? ImageBytes(info, bits, info.width, info.height) : sizeImage;
    if (offBits + main > needed) needed = offBits + main;
    info.truncated = fileSize < needed || offBits < kFileHeader + headerSize;
    if (packed && !info.truncated) {
        // The smaller images, each half the size, down to 1x1.
        unsigned long long at = offBits + main, w = info.width, h = info.height;
        while (w > 1 || h > 1) {
            w = w > 1 ? w / 2 : 1;
            h = h > 1 ? h / 2 : 1;
            const unsigned long long level = ImageBytes(info, bits, w, h);
            if (at + level > fileSize) break;
            at += level;
            ++info.mipLevels;
        }
    }
    return info;
}

std::string DescribeBitmap(const BitmapInfo& info) {
    return std::to_string(info.width) + "x" + std::to_string(info.height) + " " + info.format;
}

std::string BitmapCheckLine(const std::string& name, const BitmapInfo& incoming, const BitmapInfo* old) {
    // Beside a file that is no bitmap either (or none) there is nothing to
    // hold a file that is no bitmap against.
    if (!incoming.bitmap) return old && old->bitmap ? name + ": not a bitmap" : std::string();
    if (incoming.truncated) return name + ": " + DescribeBitmap(incoming) + ", shorter than its header says";
    if (!old || !old->bitmap) return std::string();
    if (incoming.width == old->width && incoming.height == old->height && incoming.format == old->format)
        return std::string();
    return name + ": " + DescribeBitmap(incoming) + " replaces " + DescribeBitmap(*old);
}

std::string BitmapCheckBlock(const std::string& lines) {
    if (lines.empty()) return std::string();
    return "\r\n\r\nFollowing files differ from the files they replace." "\r\n" + lines;
}

}  // namespace vm
