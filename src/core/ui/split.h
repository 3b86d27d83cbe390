// String splitting (cSplit) and the open-dialog filter conversion.
#pragma once

#include <string>
#include <vector>

namespace vm {

class cSplit {
public:
    // Appends the pieces of `text` cut at `delimiter` to Items (empty pieces
    // too). An empty delimiter yields the whole text as one piece.
    void SplitText(const std::string& text, const std::string& delimiter);
    // 1-based; the empty text for an index out of range.
    std::string Item(int index) const;
    int Count() const { return static_cast<int>(Items.size()); }

    std::vector<std::string> Items;
};

// Every "|" and ":" becomes a NUL, then two NULs are appended.
std::string ConvertFilter(const std::string& filter);
// The dialog's result: the file buffer with every trailing NUL removed.
std::string DialogResult(const std::string& fileBuffer);
// A default file name placed at the start of a buffer of `size` characters,
// NUL-padded (cut to size - 1 so the buffer always ends in a NUL).
std::string DialogFileBuffer(const std::string& defaultName, size_t size);

}  // namespace vm
