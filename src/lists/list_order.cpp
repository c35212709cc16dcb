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

// The order of `rows` by `keys`; equal keys by `tie` (a three-way comparison
// of two row indices), then in the order the rows were read.
template <typename Key, typename Tie>
std::vector<std::uint32_t> Ranked(const std::vector<ListEntry>& rows, const std::vector<Key>& keys,
                                  Tie tie, bool descending) {
    std::vector<std::uint32_t> order(rows.size());
    std::iota(order.begin(), order.end(), std::uint32_t{0});
    // Stable as well, for rows made without their reading order.
    std::stable_sort(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) {
        if (const int c = Compare(keys[a], keys[b]); c != 0) {
            return descending ? c > 0 : c < 0;
        }
        if (const int c = tie(a, b); c != 0) {
            return c < 0;
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

auto ByName(const std::vector<std::string>& names) {
    return [&names](std::uint32_t a, std::uint32_t b) { return names[a].compare(names[b]); };
}

// The order by name, the one almost every listing takes. Each row's folded
// text goes into one block, and the first eight bytes of it into a number
// that compares as those bytes do, so that most comparisons are one integer
// compare and never leave the array being sorted; equal prefixes (a short
// text is padded with zeros) are settled by the whole texts.
class NameOrder {
  public:
    explicit NameOrder(const std::vector<ListEntry>& rows) : rows_(rows) {
        keys_.reserve(rows.size());
        starts_.reserve(rows.size() + 1);
        std::string folded;  // reused for every row
        for (std::size_t row = 0; row < rows.size(); ++row) {
            text::FoldCaseInto(rows[row].text, folded);
            starts_.push_back(texts_.size());
            texts_.append(folded);
            keys_.push_back({PrefixOf(folded), static_cast<std::uint32_t>(row)});
        }
        starts_.push_back(texts_.size());
    }

    std::vector<std::uint32_t> Ranked(bool descending) {
        // Every tie is settled (by the reading order, then the row). A merge
        // sort all the same: an introsort met the order a folder is read in
        // with poor pivots and fell back to heap sort on part of it.
        std::stable_sort(keys_.begin(), keys_.end(), [&](const Key& a, const Key& b) {
            if (const int c = CompareTexts(a, b); c != 0) {
                return descending ? c > 0 : c < 0;
            }
            const std::uint32_t readA = rows_[a.row].readOrder;
            const std::uint32_t readB = rows_[b.row].readOrder;
            return readA != readB ? readA < readB : a.row < b.row;
        });
        std::vector<std::uint32_t> order;
        order.reserve(keys_.size());
        for (const Key& key : keys_) {
            order.push_back(key.row);
        }
        return order;
    }

  private:
    static constexpr std::size_t kPrefixBytes = 8;

    struct Key {
        std::uint64_t prefix;
        std::uint32_t row;
    };

    static std::uint64_t PrefixOf(std::string_view folded) {
        std::uint64_t prefix = 0;
        for (std::size_t i = 0; i < kPrefixBytes; ++i) {
            const auto byte = i < folded.size() ? static_cast<unsigned char>(folded[i]) : 0U;
            prefix = (prefix << 8) | byte;
        }
        return prefix;
    }

    std::string_view Folded(std::uint32_t row) const {
        return std::string_view(texts_).substr(starts_[row], starts_[row + 1] - starts_[row]);
    }

    int CompareTexts(const Key& a, const Key& b) const {
        if (a.prefix != b.prefix) {
            return a.prefix < b.prefix ? -1 : 1;
        }
        return Folded(a.row).compare(Folded(b.row));
    }

    const std::vector<ListEntry>& rows_;
    std::string texts_;
    std::vector<std::size_t> starts_;
    std::vector<Key> keys_;
};

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
            // Equal keys differ at most in leading zeros and letter case, which
            // is rare: their folded texts are made only when they meet.
            const auto byText = [&rows](std::uint32_t a, std::uint32_t b) {
                return text::FoldCase(rows[a].text).compare(text::FoldCase(rows[b].text));
            };
            return Ranked(rows, keys, byText, descending);
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
            // Equal dates and sizes are common (files copied together, empty
            // files), so each name is folded once.
            const std::vector<std::string> names = FoldedTexts(rows);
            return Ranked(rows, keys, ByName(names), descending);
        }
        case engine::kSortByTaken: {
            std::vector<std::string> keys(rows.size());
            std::copy_n(taken.begin(), std::min(taken.size(), keys.size()), keys.begin());
            const std::vector<std::string> names = FoldedTexts(rows);
            return Ranked(rows, keys, ByName(names), descending);
        }
        default:
            return NameOrder(rows).Ranked(descending);
    }
}

}  // namespace

bool NeedsStamps(int order) {
    return order == engine::kSortByModified || order == engine::kSortBySize;
}

std::string NaturalKey(std::string_view folded) {
    std::string key;
    key.reserve(folded.size() + 8);
    for (std::size_t i = 0; i < folded.size();) {
        std::size_t end = i;
        while (end < folded.size() && !IsDigit(folded[end])) {
            ++end;
        }
        key.append(folded.substr(i, end - i));
        if (end == folded.size()) {
            break;
        }
        i = end;
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
