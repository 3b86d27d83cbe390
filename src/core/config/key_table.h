// Every section and key of cloud.ini the program reads, in the order the
// loader reads them, each with the value a new installation starts with and
// what it does. The starter cloud.ini and the guide's reference are made
// from this table.
#pragma once

#include <string>
#include <vector>

namespace vm {

struct IniKey {
    const char* section;
    const char* key;
    const char* value;    // the starter's value
    const char* comment;  // one line: what the key does
    // Written as a comment line (";key=value"): a key whose mere presence
    // changes what the program does (a set's number range, a backup list).
    bool example = false;
};

const std::vector<IniKey>& IniKeys();

// The starter cloud.ini: every key of the table with its value, a ";" line
// before each saying what it does, sections in the table's order, CR LF.
std::string StarterIni();

}  // namespace vm
