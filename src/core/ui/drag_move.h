// The move rule of a drag-to-reorder list: where a dragged line lands, and
// the same move done on any list of values bound to the lines.
#pragma once

#include <cstddef>
#include <utility>
#include <vector>

namespace vm {

// The line a drop puts the dragged line on, or -1 when nothing moves: fewer
// than two lines, a start outside the lines, or no line under the cursor
// (`to` = -1). `to` is the line under the cursor counted before the dragged
// line is taken out; the line lands before it.
int DropIndex(int count, int from, int to);

// Takes item `from` out and puts it back at `landing` (a DropIndex result),
// or at the end when the list is shorter. Returns false and changes nothing
// when `from` is not an item.
template <class T>
bool MoveItem(std::vector<T>& items, int from, int landing) {
    if (from < 0 || static_cast<size_t>(from) >= items.size() || landing < 0) return false;
    T item = std::move(items[static_cast<size_t>(from)]);
    items.erase(items.begin() + from);
    const size_t at = static_cast<size_t>(landing) < items.size() ? static_cast<size_t>(landing) : items.size();
    items.insert(items.begin() + static_cast<std::ptrdiff_t>(at), std::move(item));
    return true;
}

}  // namespace vm
