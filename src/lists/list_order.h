#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "lists/list_entry.h"

// The orders the source list can be put in ("Sort" and "Descending"). Every
// order compares the whole row text as today's order does, folders among
// files; equal keys are settled by the name without regard to case, then by
// the order the entries were read, so the result never depends on the order
// the list was in before.
namespace kestrel::lists {

/// Whether `order` (engine::SortOrder) compares modification times or sizes,
/// which a listing reads only when asked.
bool NeedsStamps(int order);

/// What "Name, numbers by value" compares byte by byte, made of a row text
/// already folded to one letter case: each run of ASCII digits becomes a
/// mark, its length without leading zeros and those digits, so that runs
/// compare as numbers. Texts with equal keys (leading zeros, letter case)
/// are then ordered as by name.
std::string NaturalKey(std::string_view folded);

/// Puts `rows` in `order` (engine::SortOrder), descending when asked.
/// `taken` is used by the order by date taken only: for each row, as it
/// stands now, its date taken (or, without one, its modification date) as
/// text that sorts as the date does; a row without any sorts as the earliest.
/// Returns where each row came from: the row now at i was at result[i].
std::vector<std::uint32_t> SortRows(std::vector<ListEntry>& rows, int order, bool descending,
                                    std::span<const std::string> taken = {});

/// Today's order, the factory setting: ascending by the text compared
/// without regard to case; equal keys keep the order they were read in.
void SortRows(std::vector<ListEntry>& rows);

}  // namespace kestrel::lists
