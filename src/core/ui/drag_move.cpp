#include "ui/drag_move.h"

namespace vm {

int DropIndex(int count, int from, int to) {
    if (count < 2 || from < 0 || from >= count || to < 0 || to >= count) return -1;
    // Taking the dragged line out moves every later line up by one.
    return from < to ? to - 1 : to;
}

}  // namespace vm
