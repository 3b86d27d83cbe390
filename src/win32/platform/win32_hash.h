// Content hashes from CryptoAPI (advapi32): SHA-256 from the AES provider,
// SHA-1 from the base provider where the system has no SHA-256 (Windows XP
// before SP3).
#pragma once

#include <windows.h>

#include <wincrypt.h>

// Older headers name them only for newer systems; the values are fixed.
#ifndef PROV_RSA_AES
#define PROV_RSA_AES 24
#endif
#ifndef CALG_SHA_256
#define CALG_SHA_256 (ALG_CLASS_HASH | ALG_TYPE_ANY | 12)
#endif

#include "common/ports.h"

namespace vm {

class Win32Hasher : public Hasher {
public:
    Win32Hasher();
    ~Win32Hasher() override;
    Win32Hasher(const Win32Hasher&) = delete;
    Win32Hasher& operator=(const Win32Hasher&) = delete;
    std::string Algorithm() override { return algorithm_; }
    std::string Hash(const std::string& data) override;

private:
    HCRYPTPROV prov_ = 0;
    ALG_ID alg_ = 0;
    std::string algorithm_;
};

}  // namespace vm
