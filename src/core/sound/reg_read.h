// Reads one string value from the registry: RootName\SubKey\SubKey2, value
// ValueName (empty: the key's default value).
#pragma once

#include <string>

#include "common/ports.h"

namespace vm {

class clsRegRead {
public:
    explicit clsRegRead(Env& env) : env_(env) {}

    Registry::Key RootName = 0;
    std::string SubKey;
    std::string SubKey2;
    std::string ValueName;
    bool ErrFlg = false;

    // The value's text, or the empty text with ErrFlg set.
    std::string RegData();

    static constexpr uint32_t kAccess = 9;  // KEY_QUERY_VALUE | KEY_ENUMERATE_SUB_KEYS
    static constexpr unsigned kBufferSize = 256;

private:
    Env& env_;
};

}  // namespace vm
