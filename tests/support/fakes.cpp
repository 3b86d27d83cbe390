#include "fakes.h"

#include <cctype>

namespace vm {

std::string FakeRegistry::Norm(Key root, const std::string& path) {
    std::string r = root == kLocalMachine ? "HKLM" : root == kUsers ? "HKU" : "ROOT" + std::to_string(root);
    std::string part;
    auto flush = [&] {
        if (!part.empty()) r += "\\" + part;
        part.clear();
    };
    for (char c : path) {
        if (c == '\\') {
            flush();
        } else {
            part += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        }
    }
    flush();
    return r;
}

void FakeRegistry::AddKey(Key root, const std::string& path) {
    std::string full = Norm(root, path);
    // Every ancestor exists too.
    for (size_t p = full.find('\\'); p != std::string::npos; p = full.find('\\', p + 1)) keys_[full.substr(0, p)];
    keys_[full];
}

void FakeRegistry::Set(Key root, const std::string& path, const std::string& valueName, const std::string& value) {
    AddKey(root, path);
    std::string name;
    for (char c : valueName) name += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    keys_[Norm(root, path)][name] = value;
}

Registry::Key FakeRegistry::Open(Key parent, const std::string& subKey, uint32_t access) {
    accessMasks.push_back(access);
    std::string base;
    if (parent == kLocalMachine || parent == kUsers) {
        base = Norm(parent, subKey);
    } else {
        auto it = open_.find(parent);
        if (it == open_.end()) return 0;
        base = it->second + Norm(kLocalMachine, subKey).substr(4);
    }
    if (!keys_.count(base)) return 0;
    Key k = next_++;
    open_[k] = base;
    return k;
}

std::optional<std::string> FakeRegistry::Query(Key key, const std::string& valueName, unsigned bufSize) {
    auto it = open_.find(key);
    if (it == open_.end()) return std::nullopt;
    std::string name;
    for (char c : valueName) name += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    const auto& values = keys_[it->second];
    auto v = values.find(name);
    if (v == values.end()) return std::nullopt;
    // A value that does not fit with its NUL is cut to the buffer, as the
    // platform adapter does after ERROR_MORE_DATA.
    std::string buf = v->second.substr(0, bufSize);
    buf.resize(bufSize, '\0');
    return buf;
}

void FakeRegistry::Close(Key key) {
    ++closeCalls;
    if (!open_.erase(key)) ++badCloses;
}

}  // namespace vm
