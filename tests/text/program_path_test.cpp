#include "text/program_path.h"

#include <gtest/gtest.h>

namespace kestrel::text {
namespace {

TEST(ProgramPath, TrailingBackslashIsAddedOnceAndStrippedOnce) {
    EXPECT_EQ(AddTrailingBackslash("C:\\Photos"), "C:\\Photos\\");
    EXPECT_EQ(AddTrailingBackslash("C:\\Photos\\"), "C:\\Photos\\");
    EXPECT_EQ(AddTrailingBackslash(""), "\\");

    std::string path = "C:\\Photos\\\\";
    EXPECT_TRUE(StripTrailingBackslash(path));
    EXPECT_EQ(path, "C:\\Photos\\");
    path = "a.txt";
    EXPECT_FALSE(StripTrailingBackslash(path));
    EXPECT_EQ(path, "a.txt");
}

}  // namespace
}  // namespace kestrel::text
