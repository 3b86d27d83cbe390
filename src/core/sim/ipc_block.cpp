#include "sim/ipc_block.h"

#include <algorithm>
#include <cstring>

namespace vm {

namespace {
std::string Hex(uint32_t v) {
    static const char digits[] = "0123456789ABCDEF";
    std::string out;
    do {
        out.insert(out.begin(), digits[v & 0xF]);
        v >>= 4;
    } while (v);
    return out;
}
}  // namespace

std::string IpcMappingName(uint32_t processId, uint32_t counter) {
    return std::string(kIpcMessageName) + ":" + Hex(processId) + ":" + Hex(counter);
}

IpcRequest ParseIpcRequest(const uint8_t* block, size_t blockSize, size_t pos) {
    IpcRequest r;
    if (pos > blockSize || blockSize - pos < 4) {
        r.kind = IpcRequest::Bad;
        return r;
    }
    const uint32_t id = GetLe32(block + pos) & 0xFFFF;
    if (id == 0) return r;  // End
    const size_t header = id == kIpcReadId ? kIpcReadHeader : id == kIpcWriteId ? kIpcWriteHeader : 0;
    if (header == 0 || blockSize - pos < header) {
        r.kind = IpcRequest::Bad;
        return r;
    }
    r.offset = GetLe32(block + pos + 4);
    r.size = GetLe32(block + pos + 8);
    if (id == kIpcReadId) r.token = GetLe32(block + pos + 12);
    r.data = pos + header;
    if (r.size > blockSize - r.data) {
        r.kind = IpcRequest::Bad;
        return r;
    }
    r.next = r.data + r.size;
    r.kind = id == kIpcReadId ? IpcRequest::Read : IpcRequest::Write;
    return r;
}

bool DeliverIpcAnswer(const uint8_t* block, size_t blockSize, const std::vector<IpcPending>& pending) {
    size_t pos = 0;
    for (;;) {
        const IpcRequest r = ParseIpcRequest(block, blockSize, pos);
        switch (r.kind) {
        case IpcRequest::End:
            return true;
        case IpcRequest::Bad:
            return false;
        case IpcRequest::Read:
            if (r.token != 0 && r.size != 0) {
                if (r.token > pending.size()) return false;
                const IpcPending& p = pending[r.token - 1];
                if (p.dest) std::memcpy(p.dest, block + r.data, std::min(r.size, p.size));
            }
            break;
        case IpcRequest::Write:
            break;
        }
        pos = r.next;
    }
}

}  // namespace vm
