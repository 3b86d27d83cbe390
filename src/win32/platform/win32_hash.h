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

#include <deque>
#include <memory>
#include <string>

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
    // One worker thread hashes what is begun, in order, while the window's
    // thread reads the next file.
    bool Begin(std::shared_ptr<const std::string> data) override;
    std::string End() override;

private:
    static DWORD WINAPI Work(void* self);
    HCRYPTPROV prov_ = 0;
    ALG_ID alg_ = 0;
    std::string algorithm_;
    // The worker, made at the first Begin: contents wait in `in_`, digests
    // in `out_`; each semaphore counts what its queue holds.
    HANDLE worker_ = nullptr, jobs_ = nullptr, done_ = nullptr;
    CRITICAL_SECTION lock_;
    std::deque<std::shared_ptr<const std::string>> in_;
    std::deque<std::string> out_;
    bool quit_ = false;
    size_t begun_ = 0;  // digests not yet taken by End
};

}  // namespace vm
