// The orders of the source list as a table: what each order puts first, and
// that equal keys keep the order the entries were read in.
#include "lists/list_order.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/rename_options.h"

namespace kestrel::lists {
namespace {

using namespace engine;

// Rows in reading order; "size" and "modified" only matter to those orders.
struct Given {
    std::string text;
    std::int64_t modified = 0;
    std::uint64_t size = 0;
};

std::vector<ListEntry> Rows(const std::vector<Given>& given) {
    std::vector<ListEntry> rows;
    for (const Given& g : given) {
        ListEntry row;
        row.text = g.text;
        row.readOrder = static_cast<std::uint32_t>(rows.size());
        row.folderIndex = static_cast<int>(rows.size()) + 1;  // tells equal texts apart
        row.modified = g.modified;
        row.size = g.size;
        rows.push_back(row);
    }
    return rows;
}

std::vector<std::string> Texts(const std::vector<ListEntry>& rows) {
    std::vector<std::string> texts;
    for (const ListEntry& row : rows) {
        texts.push_back(row.text);
    }
    return texts;
}

struct SortCase {
    const char* what;
    int order;
    bool descending;
    std::vector<Given> read;
    std::vector<std::string> expected;
};

TEST(SortRows, EveryOrderAsATable) {
    const SortCase cases[] = {
        {"by name, digits compare as text",
         kSortByName,
         false,
         {{"IMG_2.jpg"}, {"IMG_10.jpg"}, {"img_1.jpg"}},
         {"img_1.jpg", "IMG_10.jpg", "IMG_2.jpg"}},
        {"numbers by value",
         kSortNatural,
         false,
         {{"IMG_2.jpg"}, {"IMG_10.jpg"}, {"img_1.jpg"}, {"IMG_100.jpg"}},
         {"img_1.jpg", "IMG_2.jpg", "IMG_10.jpg", "IMG_100.jpg"}},
        {"several runs in one name",
         kSortNatural,
         false,
         {{"v1.10.2"}, {"v1.9.12"}, {"v1.9.3"}, {"v10.0"}},
         {"v1.9.3", "v1.9.12", "v1.10.2", "v10.0"}},
        {"leading zeros: equal values settled by the text",
         kSortNatural,
         false,
         {{"a1.txt"}, {"a001.txt"}, {"a01.txt"}, {"a2.txt"}, {"a0.txt"}, {"a000.txt"}},
         {"a0.txt", "a000.txt", "a001.txt", "a01.txt", "a1.txt", "a2.txt"}},
        {"a number longer than any integer",
         kSortNatural,
         false,
         {{"x123456789012345678901234567890"}, {"x99999999999999999999"}, {"x5"}},
         {"x5", "x99999999999999999999", "x123456789012345678901234567890"}},
        {"digits against other characters as in the order by name",
         kSortNatural,
         false,
         {{"a_1"}, {"a1"}, {"a-1"}, {"a 1"}, {"a"}, {"aa"}},
         {"a", "a 1", "a-1", "a1", "a_1", "aa"}},
        {"letter case folded, equal names in reading order",
         kSortNatural,
         false,
         {{"B2"}, {"b10"}, {"A1"}, {"b2"}},
         {"A1", "B2", "b2", "b10"}},
        {"letters beyond ASCII fold and follow their code points",
         kSortNatural,
         false,
         {{"Zèbre 2"}, {"école 10"}, {"École 9"}, {"Ärger 1"}, {"zèbre 10"}},
         {"Zèbre 2", "zèbre 10", "Ärger 1", "École 9", "école 10"}},
        {"folders among files as by name, a folder before what is in it",
         kSortNatural,
         false,
         {{"Sub10\\"},
          {"Sub10\\a2.jpg"},
          {"Sub2\\"},
          {"Sub2\\a10.jpg"},
          {"Sub2\\a9.jpg"},
          {"Sub3.jpg"}},
         {"Sub2\\", "Sub2\\a9.jpg", "Sub2\\a10.jpg", "Sub3.jpg", "Sub10\\", "Sub10\\a2.jpg"}},
        {"numbers by value, descending",
         kSortNatural,
         true,
         {{"IMG_2.jpg"}, {"IMG_10.jpg"}, {"img_1.jpg"}},
         {"IMG_10.jpg", "IMG_2.jpg", "img_1.jpg"}},
        {"by name, descending, equal names still in reading order",
         kSortByName,
         true,
         {{"b"}, {"A"}, {"B"}, {"a"}},
         {"b", "B", "A", "a"}},
        {"modified date, ties by name",
         kSortByModified,
         false,
         {{"c", 300}, {"b", 100}, {"a", 300}, {"d", 200}},
         {"b", "d", "a", "c"}},
        {"modified date, descending, ties still by name",
         kSortByModified,
         true,
         {{"c", 300}, {"b", 100}, {"a", 300}, {"d", 200}},
         {"a", "c", "d", "b"}},
        {"size, a folder counts as empty",
         kSortBySize,
         false,
         {{"big", 0, 5000}, {"Folder\\", 0, 0}, {"small", 0, 10}, {"same", 0, 10}},
         {"Folder\\", "same", "small", "big"}},
    };
    for (const SortCase& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<ListEntry> rows = Rows(c.read);
        SortRows(rows, c.order, c.descending);
        EXPECT_EQ(Texts(rows), c.expected);
    }
}

TEST(SortRows, DateTakenComparesTheGivenDatesAndRowsWithoutOneComeFirst) {
    std::vector<ListEntry> rows = Rows({{"b.jpg"}, {"a.jpg"}, {"c.mov"}, {"d.txt"}});
    const std::vector<std::string> taken = {"2001-02-03 10:00:00", "2001-02-03 09:59:59",
                                            "1999-12-31 23:00:00", ""};
    const std::vector<std::uint32_t> from = SortRows(rows, kSortByTaken, false, taken);
    EXPECT_EQ(Texts(rows), (std::vector<std::string>{"d.txt", "c.mov", "a.jpg", "b.jpg"}));
    EXPECT_EQ(from, (std::vector<std::uint32_t>{3, 2, 1, 0}));
}

// Sorting again from any order gives what a fresh listing gives: ties are
// settled by what the rows are, not by where they stand.
TEST(SortRows, SortedAgainFromAnyOrderComesOutAsAFreshListing) {
    const std::vector<Given> read = {{"x2", 5}, {"X2", 5}, {"x10", 5}, {"x1", 9}, {"x01", 5}};
    for (const int order : {kSortByName, kSortNatural, kSortByModified, kSortBySize}) {
        SCOPED_TRACE(order);
        std::vector<ListEntry> fresh = Rows(read);
        SortRows(fresh, order, false);
        for (const int before : {kSortByName, kSortNatural, kSortByModified}) {
            std::vector<ListEntry> rows = Rows(read);
            SortRows(rows, before, true);
            SortRows(rows, order, false);
            std::vector<int> folders, freshFolders;
            for (std::size_t i = 0; i < rows.size(); ++i) {
                folders.push_back(rows[i].folderIndex);
                freshFolders.push_back(fresh[i].folderIndex);
            }
            EXPECT_EQ(folders, freshFolders) << "after " << before;
        }
    }
}

}  // namespace
}  // namespace kestrel::lists
