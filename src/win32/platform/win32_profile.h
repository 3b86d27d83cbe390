// The private-profile port over GetPrivateProfileStringA and
// WritePrivateProfileStringA.
#pragma once

#include "common/ports.h"

namespace vm {

class Win32Profile : public Profile {
public:
    std::string Get(const std::string* section, const std::string* key, const std::string& def,
                    unsigned bufSize, const std::string& file) override;
    bool Put(const std::string* section, const std::string* key, const std::string* value,
             const std::string& file) override;
    // The file read once into the portable engine, which answers as
    // GetPrivateProfileStringA does (a Wine test holds the two together).
    std::unique_ptr<Profile> Snapshot(const std::string& file) override;
};

}  // namespace vm
