// The private-profile functions as a portable engine over a FileSystem: the
// whole file is read for every call and, for a change, written back whole
// with only the changed lines touched.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "common/ports.h"

namespace vm {

class IniProfile : public Profile {
public:
    explicit IniProfile(FileSystem& fs) : fs_(fs) {}

    std::string Get(const std::string* section, const std::string* key, const std::string& def,
                    unsigned bufSize, const std::string& file) override;
    bool Put(const std::string* section, const std::string* key, const std::string* value,
             const std::string& file) override;

    // The layout of an INI text, as the engine reads it.
    struct Line {
        size_t begin = 0;  // first byte of the line
        size_t end = 0;    // end of the text, before the line break
        size_t next = 0;   // first byte of the following line
    };
    struct Entry {
        std::string name;                  // trimmed key name
        std::optional<std::string> value;  // nothing for a line without "="
        size_t line = 0;
    };
    struct Section {
        std::string name;                  // text between "[" and the last "]", trimmed
        std::optional<size_t> headerLine;  // none for the lines before the first section
        std::vector<Entry> entries;
        size_t lastLine = 0;               // the last line that belongs to the section
    };
    struct Document {
        std::vector<Line> lines;
        std::vector<Section> sections;     // sections[0]: lines before the first header
    };
    static Document Parse(const std::string& text);

    std::unique_ptr<Profile> Snapshot(const std::string& file) override;
    // A read-only profile over the given file text.
    static std::unique_ptr<Profile> SnapshotOf(std::string text);
    // Get over an already parsed file.
    static std::string GetFrom(const Document& doc, const std::string* section, const std::string* key,
                               const std::string& def, unsigned bufSize);

private:
    FileSystem& fs_;
};

}  // namespace vm
