#include "lists/list_order.h"

#include <algorithm>
#include <numeric>
#include <utility>

#include "engine/rename_options.h"
#include "text/unicode_text.h"

namespace kestrel::lists {
namespace {

// A run of digits starts with a byte from the digits' own range, so that it
// compares with any other character exactly as a digit would.
constexpr char kNumberMark = '0';
constexpr std::size_t kLongestCountedRun = 0xFFFF;

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

int Compare(const std::string& a, const std::string& b) {
    return a.compare(b);
}

template <typename Number>
int Compare(Number a, Number b) {
    return (a > b) - (a < b);
}

// The order of `rows` by `keys`, ties settled by `names` (when given) and then
// by the order the rows were read.
template <typename Key>
std::vector<std::uint32_t> Ranked(const std::vector<ListEntry>& rows, const std::vector<Key>& keys,
                                  const std::vector<std::string>* names, bool descending) {
    std::vector<std::uint32_t> order(rows.size());
    std::iota(order.begin(), order.end(), std::uint32_t{0});
    // Stable as well, for rows made without their reading order.
    std::stable_sort(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) {
        if (const int c = Compare(keys[a], keys[b]); c != 0) {
            return descending ? c > 0 : c < 0;
        }
        if (names != nullptr) {
            if (const int c = Compare((*names)[a], (*names)[b]); c != 0) {
                return c < 0;
            }
        }
        return rows[a].readOrder < rows[b].readOrder;
    });
    return order;
}

// Folded UTF-8 compared byte by byte orders as the folded code points do, so
// each key is made once and the comparisons need no decoding.
std::vector<std::string> FoldedTexts(const std::vector<ListEntry>& rows) {
    std::vector<std::string> keys;
    keys.reserve(rows.size());
    for (const ListEntry& row : rows) {
        keys.push_back(text::FoldCase(row.text));
    }
    return keys;
}

std::vector<std::uint32_t> OrderOf(const std::vector<ListEntry>& rows, int order, bool descending,
                                   std::span<const std::string> taken) {
    switch (order) {
        case engine::kSortNatural: {
            std::vector<std::string> keys;
            keys.reserve(rows.size());
            std::string folded;  // reused for every row
            for (const ListEntry& row : rows) {
                text::FoldCaseInto(row.text, folded);
                keys.push_back(NaturalKey(folded));
            }
            // The key ends with the folded text, so it settles ties by name itself.
            return Ranked(rows, keys, nullptr, descending);
        }
        case engine::kSortByModified:
        case engine::kSortBySize: {
            std::vector<std::int64_t> keys;
            keys.reserve(rows.size());
            for (const ListEntry& row : rows) {
                keys.push_back(order == engine::kSortByModified
                                   ? row.modified
                                   : static_cast<std::int64_t>(std::min<std::uint64_t>(
                                         row.size, static_cast<std::uint64_t>(INT64_MAX))));
            }
            const std::vector<std::string> names = FoldedTexts(rows);
            return Ranked(rows, keys, &names, descending);
        }
        case engine::kSortByTaken: {
            std::vector<std::string> keys(rows.size());
            std::copy_n(taken.begin(), std::min(taken.size(), keys.size()), keys.begin());
            const std::vector<std::string> names = FoldedTexts(rows);
            return Ranked(rows, keys, &names, descending);
        }
        default:
            return Ranked(rows, FoldedTexts(rows), nullptr, descending);
    }
}

}  // namespace

bool NeedsStamps(int order) {
    return order == engine::kSortByModified || order == engine::kSortBySize;
}

std::string NaturalKey(std::string_view folded) {
    std::string key;
    key.reserve(folded.size() * 2 + 4);
    for (std::size_t i = 0; i < folded.size();) {
        if (!IsDigit(folded[i])) {
            key.push_back(folded[i++]);
            continue;
        }
        std::size_t end = i;
        while (end < folded.size() && IsDigit(folded[end])) {
            ++end;
        }
        while (i + 1 < end && folded[i] == '0') {
            ++i;
        }
        // A longer run is a larger number; a single 0 stays, so that zero
        // still has a digit to compare.
        const std::size_t length = std::min(end - i, kLongestCountedRun);
        key.push_back(kNumberMark);
        key.push_back(static_cast<char>(length >> 8));
        key.push_back(static_cast<char>(length & 0xFF));
        key.append(folded.substr(i, end - i));
        i = end;
    }
    // Below every byte that can begin the rest of a longer key, so that a key
    // that is the start of another sorts first, as its text would.
    key.push_back('\0');
    key.append(folded);
    return key;
}

std::vector<std::uint32_t> SortRows(std::vector<ListEntry>& rows, int order, bool descending,
                                    std::span<const std::string> taken) {
    std::vector<std::uint32_t> from = OrderOf(rows, order, descending, taken);
    std::vector<ListEntry> sorted;
    sorted.reserve(rows.size());
    for (const std::uint32_t index : from) {
        sorted.push_back(std::move(rows[index]));
    }
    rows = std::move(sorted);
    return from;
}

void SortRows(std::vector<ListEntry>& rows) {
    SortRows(rows, engine::kSortByName, false);
}

}  // namespace kestrel::lists
