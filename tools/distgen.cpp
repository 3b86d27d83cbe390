// distgen: prints what the release is made of from the program's own tables.
//   distgen ini    the starter cloud.ini
//   distgen keys   the key table, one key a line: section, key, value,
//                  whether it is an example, what it does (tab-separated)
#include <cstdio>
#include <cstring>
#include <string>

#include "config/key_table.h"

int main(int argc, char** argv) {
    if (argc == 2 && std::strcmp(argv[1], "ini") == 0) {
        const std::string ini = vm::StarterIni();
        std::fwrite(ini.data(), 1, ini.size(), stdout);
        return 0;
    }
    if (argc == 2 && std::strcmp(argv[1], "keys") == 0) {
        for (const vm::IniKey& k : vm::IniKeys())
            std::printf("%s\t%s\t%s\t%d\t%s\n", k.section, k.key, k.value, k.example ? 1 : 0, k.comment);
        return 0;
    }
    std::fprintf(stderr, "usage: distgen ini|keys\n");
    return 2;
}
