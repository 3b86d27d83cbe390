// The file-system port over the Win32 file functions and SHFileOperationA.
#pragma once

#include <windows.h>

#include "common/ports.h"

namespace vm {

class Win32FileSystem : public FileSystem {
public:
    // The window that owns the shell's progress display and questions.
    void SetOwner(HWND owner) { owner_ = owner; }

    std::vector<FindData> Find(const std::string& pattern) override;
    bool Copy(const std::string& from, const std::string& to, bool failIfExists) override;
    bool Replace(const std::string& from, const std::string& to) override;
    bool Remove(const std::string& path) override;
    bool MakeDir(const std::string& path) override;
    std::optional<uint32_t> Attributes(const std::string& path) override;
    bool SetAttributes(const std::string& path, uint32_t attributes) override;
    std::optional<double> ModTime(const std::string& path) override;
    std::optional<uint64_t> Size(const std::string& path) override;
    std::optional<std::string> Read(const std::string& path) override;
    std::optional<std::string> ReadHead(const std::string& path, size_t bytes, uint64_t& length) override;
    FindData Stamp(const std::string& path) override;
    bool Write(const std::string& path, const std::string& data) override;
    int ShellOperation(const std::string& from, const std::string& to, unsigned op, unsigned flags,
                       bool& aborted) override;

private:
    HWND owner_ = nullptr;
};

}  // namespace vm
