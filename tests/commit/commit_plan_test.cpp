#include "commit/commit_plan.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "engine/rename_options.h"

namespace kestrel::commit {
namespace {

TEST(SplitEntry, FolderMarkIsSetAsideBeforeThePrefixIsTaken) {
    // Entry text, folder, prefix, name, pipeline input.
    const std::tuple<const char*, bool, const char*, const char*, const char*> cases[] = {
        {"Photos\\", true, "", "Photos", "Photos\\"},
        {"Sub\\Deeper\\a.txt", false, "Sub\\Deeper\\", "a.txt", "a.txt"},
        {"T:\\A\\B\\", true, "T:\\A\\", "B", "B\\"},
    };
    for (const auto& [text, isFolder, prefix, name, pipelineInput] : cases) {
        const EntryParts p = SplitEntry(text);
        EXPECT_EQ(std::tuple(p.isFolder, p.prefix, p.name, p.pipelineInput),
                  std::tuple(isFolder, std::string(prefix), std::string(name),
                             std::string(pipelineInput)))
            << text;
    }
}

// Partial paths and Consolidate are shown through the workspace's commits.
TEST(EntryFolders, FollowTheDisplayModeAndRecurse) {
    const std::vector<std::string> table = {"T:\\Work\\", "T:\\Work\\Sub\\"};
    using engine::kShowFilenameOnly, engine::kShowPartialPath, engine::kShowFullPath;
    // Mode, recurse, consolidate, entry text, source folder, target folder.
    const std::tuple<int, bool, bool, const char*, const char*, const char*> cases[] = {
        {kShowFilenameOnly, false, false, "a.txt", "T:\\Work\\", "T:\\Out\\"},
        {kShowFilenameOnly, true, false, "a.txt", "T:\\Work\\Sub\\", "T:\\Work\\Sub\\"},
        {kShowFullPath, true, false, "T:\\Work\\Sub\\a.txt", "T:\\Work\\Sub\\", "T:\\Work\\Sub\\"},
    };
    for (const auto& [mode, recurse, consolidate, text, source, target] : cases) {
        // Folder texts typed without their closing backslash still join correctly.
        const FolderRules rules{mode, recurse, consolidate, "T:\\Work", "T:\\Out", &table};
        const EntryParts parts = SplitEntry(text);
        EXPECT_EQ(std::pair(SourceFolder(rules, parts, 2), TargetFolder(rules, parts, 2)),
                  (std::pair<std::string, std::string>(source, target)))
            << text << " mode " << mode << " recurse " << recurse;
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
    };
    for (const auto& [folder, expected] : cases) {
        EXPECT_EQ(folders.ReAim(folder), expected) << folder;
    }
}

}  // namespace
}  // namespace kestrel::commit
