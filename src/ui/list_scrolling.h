#pragma once

#include <optional>

// How the scrolling keys move a list's top row. The rules step by a fixed page
// rather than by what fits on screen, so the same key press moves both lists
// (and both columns of names) by the same number of rows.
namespace kestrel::ui {

inline constexpr int kScrollPageRows = 42;

enum class ScrollKey { Home, End, PageUp, PageDown, Up, Down };

/// The top row after `key`, for a list of `rowCount` rows whose top row is `topRow`.
int ScrolledTopRow(ScrollKey key, int topRow, int rowCount);

/// The scrolling key of a Qt key code, if it is one.
std::optional<ScrollKey> ScrollKeyOf(int qtKey);

}  // namespace kestrel::ui
