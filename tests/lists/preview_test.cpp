#include "lists/preview.h"

#include <gtest/gtest.h>

#include "support/temp_drive.h"

namespace kestrel::lists {
namespace {

TEST(ExistingTargets, ReportsOnlyReadableFilesThatReallyExist) {
    support::TempDrive drive;
    drive.WriteFile("Sub\\x.txt", "");
    drive.MakeFolder("Sub\\Folder");
    ExistingTargets existing(drive.FileSystem());
    const std::string dest = support::TempDrive::Path("");
    EXPECT_EQ(existing.ErrorCheck2(dest, "Sub\\x.txt"), "Filename already exists");
    // Listed under another letter case, but this file system tells them apart.
    EXPECT_EQ(existing.ErrorCheck2(dest, "Sub\\X.TXT"), "");
    EXPECT_EQ(existing.ErrorCheck2(dest, "Sub\\Folder\\"), "");
    EXPECT_EQ(existing.ErrorCheck2(dest, "Sub\\y.txt"), "");
    EXPECT_EQ(existing.ErrorCheck2(dest, "Missing\\x.txt"), "");
}

TEST(EntryFilename, TakesTheLeafAndKeepsAFolderMark) {
    EXPECT_EQ(EntryFilename("a.txt"), "a.txt");
    EXPECT_EQ(EntryFilename("Sub\\a.txt"), "a.txt");
    EXPECT_EQ(EntryFilename("C:\\W\\Photos\\"), "Photos\\");
}

}  // namespace
}  // namespace kestrel::lists
