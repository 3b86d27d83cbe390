#include "ui/split.h"

#include <algorithm>

namespace vm {

void cSplit::SplitText(const std::string& text, const std::string& delimiter) {
    if (delimiter.empty()) {
        Items.push_back(text);
        return;
    }
    size_t pos = 0;
    for (;;) {
        const size_t found = text.find(delimiter, pos);
        if (found == std::string::npos) {
            Items.push_back(text.substr(pos));
            return;
        }
        Items.push_back(text.substr(pos, found - pos));
        pos = found + delimiter.size();
    }
}

std::string cSplit::Item(int index) const {
    if (index < 1 || index > Count()) return std::string();
    return Items[static_cast<size_t>(index - 1)];
}

std::string ConvertFilter(const std::string& filter) {
    std::string out = filter;
    for (char& c : out)
        if (c == '|' || c == ':') c = '\0';
    out.append(2, '\0');
    return out;
}

std::string DialogResult(const std::string& fileBuffer) {
    size_t n = fileBuffer.size();
    while (n > 0 && fileBuffer[n - 1] == '\0') --n;
    return fileBuffer.substr(0, n);
}

std::string DialogFileBuffer(const std::string& defaultName, size_t size) {
    std::string buf(size, '\0');
    if (size > 0) buf.replace(0, std::min(defaultName.size(), size - 1), defaultName, 0, size - 1);
    return buf;
}

}  // namespace vm
