#include "commit/commit_plan.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/rename_options.h"

namespace kestrel::commit {
namespace {

TEST(SplitEntry, FolderMarkIsSetAsideBeforeThePrefixIsTaken) {
    struct Case {
        const char* text;
        bool isFolder;
        const char* prefix;
        const char* name;
        const char* pipelineInput;
    };
    const Case cases[] = {
        {"a.txt", false, "", "a.txt", "a.txt"},
        {"Photos\\", true, "", "Photos", "Photos\\"},
        {"Sub\\Deeper\\a.txt", false, "Sub\\Deeper\\", "a.txt", "a.txt"},
        {"T:\\A\\B\\", true, "T:\\A\\", "B", "B\\"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const EntryParts parts = SplitEntry(c.text);
        EXPECT_EQ(parts.isFolder, c.isFolder);
        EXPECT_EQ(parts.prefix, c.prefix);
        EXPECT_EQ(parts.name, c.name);
        EXPECT_EQ(parts.pipelineInput, c.pipelineInput);
    }
}

TEST(NewName, LosesOneFolderMarkAndKeepsItsSmartFolderPart) {
    EXPECT_EQ(NewNameFrom("New Photos\\"), "New Photos");
    EXPECT_EQ(NewNameFrom("x.txt"), "x.txt");
    EXPECT_EQ(SmartFolderPart("A\\B\\x.txt"), "A\\B\\");
    EXPECT_EQ(SmartFolderPart("x.txt"), "");
}

TEST(EntryFolders, FollowTheDisplayModeRecurseAndConsolidate) {
    const std::vector<std::string> table = {"T:\\Work\\", "T:\\Work\\Sub\\"};
    struct Case {
        int mode;
        bool recurse;
        bool consolidate;
        const char* text;
        const char* source;
        const char* target;
    };
    using engine::kShowFilenameOnly, engine::kShowPartialPath, engine::kShowFullPath;
    const Case cases[] = {
        {kShowFilenameOnly, false, false, "a.txt", "T:\\Work\\", "T:\\Out\\"},
        {kShowFilenameOnly, true, false, "a.txt", "T:\\Work\\Sub\\", "T:\\Work\\Sub\\"},
        {kShowFilenameOnly, true, true, "a.txt", "T:\\Work\\Sub\\", "T:\\Out\\"},
        {kShowPartialPath, true, false, "Sub\\a.txt", "T:\\Work\\Sub\\", "T:\\Out\\Sub\\"},
        {kShowPartialPath, true, true, "Sub\\a.txt", "T:\\Work\\Sub\\", "T:\\Out\\"},
        {kShowFullPath, true, false, "T:\\Work\\Sub\\a.txt", "T:\\Work\\Sub\\", "T:\\Work\\Sub\\"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text + std::string(" mode ") + std::to_string(c.mode) +
                     (c.recurse ? " recurse" : "") + (c.consolidate ? " consolidate" : ""));
        // Folder texts typed without their closing backslash still join correctly.
        const FolderRules rules{c.mode, c.recurse, c.consolidate, "T:\\Work", "T:\\Out", &table};
        const EntryParts parts = SplitEntry(c.text);
        EXPECT_EQ(SourceFolder(rules, parts, 2), c.source);
        EXPECT_EQ(TargetFolder(rules, parts, 2), c.target);
    }
}

TEST(RenamedFolders, ReplaceOnlyWholeFolderBeginningsRowAfterRow) {
    RenamedFolders folders;
    folders.Add("T:\\Photos\\", "T:\\Pictures from 2001\\");
    folders.Add("T:\\Pictures from 2001\\Sub\\", "T:\\Pictures from 2001\\S\\");
    const std::pair<const char*, const char*> cases[] = {
        {"T:\\Photos\\", "T:\\Pictures from 2001\\"},
        {"T:\\Photos\\Sub\\Deep\\", "T:\\Pictures from 2001\\S\\Deep\\"},
        {"T:\\Photos2\\", "T:\\Photos2\\"},
        {"T:\\Other\\Photos\\", "T:\\Other\\Photos\\"},
    };
    for (const auto& [folder, expected] : cases) {
        SCOPED_TRACE(folder);
        EXPECT_EQ(folders.ReAim(folder), expected);
    }
}

}  // namespace
}  // namespace kestrel::commit
