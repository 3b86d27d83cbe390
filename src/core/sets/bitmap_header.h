// The header of a texture bitmap: the Windows bitmap headers (core, OS/2,
// info v3 to v5, bottom-up or top-down) and the simulator's extended
// formats (16-bit 565 and 4444 and 32-bit 8888 by their bit-field masks,
// DXT1 and DXT3 by their compression code, each with its smaller mip levels
// after the main image).
#pragma once

#include <string>

namespace vm {

struct BitmapInfo {
    bool bitmap = false;     // a bitmap header was found
    bool truncated = false;  // the file is shorter than its header says
    long width = 0;
    long height = 0;         // always positive; topDown tells the row order
    bool topDown = false;
    std::string format;      // "8-bit", "24-bit", "565", "4444", "8888", "DXT1", ...
    int mipLevels = 0;       // whole smaller images after the main one
};

// Reads the header from the first bytes of a file (`fileSize` is the whole
// file's length; `head` may be the whole file).
BitmapInfo ReadBitmapHeader(const std::string& head, unsigned long long fileSize);

// "256x256 DXT1"
std::string DescribeBitmap(const BitmapInfo& info);

// The line of the install confirmation for a file that replaces `old`, or
// the empty text when there is nothing to tell: not a bitmap (where a bitmap
// is replaced), shorter than its header says, or another width, height or
// pixel format.
std::string BitmapCheckLine(const std::string& name, const BitmapInfo& incoming, const BitmapInfo* old);

// The block at the end of the confirmation for those lines ("" for none).
std::string BitmapCheckBlock(const std::string& lines);

}  // namespace vm
