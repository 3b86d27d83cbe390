#include "common/fileproc.h"
#include "sim/fsuipc.h"

namespace vm {

bool IpcModulePresent(Env& env, const std::string& fsDir) {
    return FileCheck(env, fsDir + "\\Modules\\FSUIPC.dll") == "OK";
}

}  // namespace vm
