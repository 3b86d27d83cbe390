#include "sound/reg_read.h"

namespace vm {

std::string clsRegRead::RegData() {
    std::string result;
    if (SubKey.empty() || SubKey2.empty()) {
        ErrFlg = true;
        return result;
    }
    ErrFlg = false;
    Registry& reg = *env_.registry;
    const Registry::Key key1 = reg.Open(RootName, SubKey, kAccess);
    if (key1 == 0) {
        ErrFlg = true;
        return result;
    }
    const Registry::Key key2 = reg.Open(key1, SubKey2, kAccess);
    if (key2 == 0) {
        ErrFlg = true;
        reg.Close(key1);
        return result;
    }
    if (auto raw = reg.Query(key2, ValueName, kBufferSize)) {
        result = raw->substr(0, kBufferSize);
        const size_t nul = result.find('\0');
        if (nul != std::string::npos) result.erase(nul);
    } else {
        ErrFlg = true;
    }
    reg.Close(key2);
    reg.Close(key1);
    return result;
}

}  // namespace vm
