#include "platform/win32_fs.h"

#include <shellapi.h>

#include <algorithm>
#include <cstring>

#include "platform/win32_ports.h"

namespace vm {

std::vector<FindData> Win32FileSystem::Find(const std::string& pattern) {
    std::vector<FindData> out;
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA(pattern.c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE) return out;
    do {
        const size_t len = strnlen(fd.cFileName, sizeof fd.cFileName);
        const size_t shortLen = strnlen(fd.cAlternateFileName, sizeof fd.cAlternateFileName);
        out.push_back({std::string(fd.cFileName, len), static_cast<uint32_t>(fd.dwFileAttributes),
                       std::string(fd.cAlternateFileName, shortLen), true,
                       (static_cast<uint64_t>(fd.nFileSizeHigh) << 32) | fd.nFileSizeLow,
                       FileTimeToDate(fd.ftLastWriteTime)});
    } while (FindNextFileA(h, &fd));
    FindClose(h);
    return out;
}

bool Win32FileSystem::Copy(const std::string& from, const std::string& to, bool failIfExists) {
    return CopyFileA(from.c_str(), to.c_str(), failIfExists ? TRUE : FALSE) != FALSE;
}

bool Win32FileSystem::Replace(const std::string& from, const std::string& to) {
    return MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING) != FALSE;
}

bool Win32FileSystem::Remove(const std::string& path) { return DeleteFileA(path.c_str()) != FALSE; }

bool Win32FileSystem::MakeDir(const std::string& path) { return CreateDirectoryA(path.c_str(), nullptr) != FALSE; }

std::optional<uint32_t> Win32FileSystem::Attributes(const std::string& path) {
    const DWORD a = GetFileAttributesA(path.c_str());
    if (a == INVALID_FILE_ATTRIBUTES) return std::nullopt;
    return static_cast<uint32_t>(a);
}

bool Win32FileSystem::SetAttributes(const std::string& path, uint32_t attributes) {
    return SetFileAttributesA(path.c_str(), attributes ? attributes : FILE_ATTRIBUTE_NORMAL) != FALSE;
}

std::optional<double> Win32FileSystem::ModTime(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return std::nullopt;
    return FileTimeToDate(data.ftLastWriteTime);
}

std::optional<uint64_t> Win32FileSystem::Size(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return std::nullopt;
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return std::nullopt;
    return (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

std::optional<std::string> Win32FileSystem::Read(const std::string& path) {
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return std::nullopt;
    std::string data;
    char buf[65536];
    DWORD got = 0;
    bool ok = true;
    for (;;) {
        if (!ReadFile(h, buf, sizeof buf, &got, nullptr)) {
            ok = false;
            break;
        }
        if (got == 0) break;
        data.append(buf, got);
    }
    CloseHandle(h);
    if (!ok) return std::nullopt;
    return data;
}

std::optional<std::string> Win32FileSystem::ReadHead(const std::string& path, size_t bytes, uint64_t& length) {
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return std::nullopt;
    std::string data(bytes, '\0');
    DWORD got = 0, high = 0;
    const DWORD low = GetFileSize(h, &high);
    const bool ok = low != INVALID_FILE_SIZE || GetLastError() == NO_ERROR;
    const bool read = ok && ReadFile(h, data.data(), static_cast<DWORD>(bytes), &got, nullptr) != FALSE;
    CloseHandle(h);
    if (!read) return std::nullopt;
    length = (static_cast<uint64_t>(high) << 32) | low;
    data.resize(got);
    return data;
}

FindData Win32FileSystem::Stamp(const std::string& path) {
    FindData f;
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return f;
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return f;
    f.attributes = data.dwFileAttributes;
    f.stamped = true;
    f.size = (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    f.time = FileTimeToDate(data.ftLastWriteTime);
    return f;
}

bool Win32FileSystem::Write(const std::string& path, const std::string& data) {
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    size_t done = 0;
    bool ok = true;
    while (done < data.size()) {
        DWORD chunk = static_cast<DWORD>(std::min<size_t>(data.size() - done, 1u << 20));
        DWORD wrote = 0;
        if (!WriteFile(h, data.data() + done, chunk, &wrote, nullptr) || wrote == 0) {
            ok = false;
            break;
        }
        done += wrote;
    }
    if (!CloseHandle(h)) ok = false;
    return ok;
}

int Win32FileSystem::ShellOperation(const std::string& from, const std::string& to, unsigned op, unsigned flags,
                                    bool& aborted) {
    // Both path lists end with two NULs.
    std::string src = from + std::string(2, '\0');
    std::string dst = to + std::string(2, '\0');
    SHFILEOPSTRUCTA rec;
    std::memset(&rec, 0, sizeof rec);
    rec.hwnd = owner_;
    rec.wFunc = op;
    rec.pFrom = src.c_str();
    rec.pTo = dst.c_str();
    rec.fFlags = static_cast<FILEOP_FLAGS>(flags);
    int result = SHFileOperationA(&rec);
    aborted = rec.fAnyOperationsAborted != FALSE;
    return result;
}

}  // namespace vm
