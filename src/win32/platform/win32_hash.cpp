#include "platform/win32_hash.h"

namespace vm {

Win32Hasher::Win32Hasher() {
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
    if (prov_) CryptReleaseContext(prov_, 0);
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
