#include "platform/win32_hash.h"

namespace vm {

Win32Hasher::Win32Hasher() {
    InitializeCriticalSection(&lock_);
    if (CryptAcquireContextA(&prov_, nullptr, nullptr, PROV_RSA_AES, CRYPT_VERIFYCONTEXT)) {
        alg_ = CALG_SHA_256;
        algorithm_ = "SHA-256";
        // Some AES providers of older systems take the context but not the hash.
        HCRYPTHASH h = 0;
        if (CryptCreateHash(prov_, alg_, 0, 0, &h)) {
            CryptDestroyHash(h);
            return;
        }
        CryptReleaseContext(prov_, 0);
        prov_ = 0;
    }
    if (CryptAcquireContextA(&prov_, nullptr, nullptr, PROV_RSA_FULL, CRYPT_VERIFYCONTEXT)) {
        alg_ = CALG_SHA1;
        algorithm_ = "SHA-1";
    } else {
        prov_ = 0;
        algorithm_ = "none";
    }
}

Win32Hasher::~Win32Hasher() {
    if (worker_) {
        EnterCriticalSection(&lock_);
        quit_ = true;
        LeaveCriticalSection(&lock_);
        ReleaseSemaphore(jobs_, 1, nullptr);
        WaitForSingleObject(worker_, INFINITE);
        CloseHandle(worker_);
    }
    if (jobs_) CloseHandle(jobs_);
    if (done_) CloseHandle(done_);
    DeleteCriticalSection(&lock_);
    if (prov_) CryptReleaseContext(prov_, 0);
}

bool Win32Hasher::Begin(std::shared_ptr<const std::string> data) {
    if (!prov_ || !data) return false;
    if (!worker_) {
        if (!jobs_) jobs_ = CreateSemaphoreA(nullptr, 0, 0x7fffffff, nullptr);
        if (!done_) done_ = CreateSemaphoreA(nullptr, 0, 0x7fffffff, nullptr);
        if (!jobs_ || !done_) return false;
        worker_ = CreateThread(nullptr, 0, Work, this, 0, nullptr);
        if (!worker_) return false;
    }
    EnterCriticalSection(&lock_);
    in_.push_back(std::move(data));
    LeaveCriticalSection(&lock_);
    ReleaseSemaphore(jobs_, 1, nullptr);
    ++begun_;
    return true;
}

std::string Win32Hasher::End() {
    // Nothing begun: nothing to wait for.
    if (!worker_ || begun_ == 0) return std::string();
    --begun_;
    WaitForSingleObject(done_, INFINITE);
    EnterCriticalSection(&lock_);
    std::string digest = std::move(out_.front());
    out_.pop_front();
    LeaveCriticalSection(&lock_);
    return digest;
}

DWORD WINAPI Win32Hasher::Work(void* self) {
    auto& h = *static_cast<Win32Hasher*>(self);
    for (;;) {
        WaitForSingleObject(h.jobs_, INFINITE);
        EnterCriticalSection(&h.lock_);
        if (h.in_.empty()) {  // woken to end
            const bool quit = h.quit_;
            LeaveCriticalSection(&h.lock_);
            if (quit) return 0;
            continue;
        }
        std::shared_ptr<const std::string> data = std::move(h.in_.front());
        h.in_.pop_front();
        LeaveCriticalSection(&h.lock_);
        std::string digest = h.Hash(*data);
        data.reset();
        EnterCriticalSection(&h.lock_);
        h.out_.push_back(std::move(digest));
        LeaveCriticalSection(&h.lock_);
        ReleaseSemaphore(h.done_, 1, nullptr);
    }
}

std::string Win32Hasher::Hash(const std::string& data) {
    if (!prov_) return std::string();
    HCRYPTHASH h = 0;
    if (!CryptCreateHash(prov_, alg_, 0, 0, &h)) return std::string();
    std::string hex;
    // Fed in pieces: the length argument is a DWORD.
    bool ok = true;
    for (size_t at = 0; ok && at < data.size(); at += 1u << 24) {
        const size_t n = data.size() - at < (1u << 24) ? data.size() - at : (1u << 24);
        ok = CryptHashData(h, reinterpret_cast<const BYTE*>(data.data() + at), static_cast<DWORD>(n), 0);
    }
    BYTE digest[64];
    DWORD len = sizeof digest;
    if (ok && CryptGetHashParam(h, HP_HASHVAL, digest, &len, 0)) {
        static const char kHex[] = "0123456789abcdef";
        for (DWORD i = 0; i < len; ++i) {
            hex += kHex[digest[i] >> 4];
            hex += kHex[digest[i] & 15];
        }
    }
    CryptDestroyHash(h);
    return hex;
}

}  // namespace vm
