#include "text/program_path.h"

#include <gtest/gtest.h>

namespace kestrel::text {
namespace {

TEST(ProgramPath, TrailingBackslashIsAddedOnceAndStrippedOnce) {
    EXPECT_EQ(AddTrailingBackslash("C:\\Photos"), "C:\\Photos\\");
    EXPECT_EQ(AddTrailingBackslash("C:\\Photos\\"), "C:\\Photos\\");
    EXPECT_EQ(AddTrailingBackslash(""), "\\");

    std::string path = "C:\\Photos\\\\", file = "a.txt";
    EXPECT_TRUE(StripTrailingBackslash(path));
    EXPECT_EQ(path, "C:\\Photos\\");
    EXPECT_FALSE(StripTrailingBackslash(file));
}

}  // namespace
}  // namespace kestrel::text
