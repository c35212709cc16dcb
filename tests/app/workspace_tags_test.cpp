// Tags from the preview to the commit: what is read and when, what the rows
// show, and that Do It renames to exactly the names shown.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <mutex>

#include "engine/name_pipeline.h"
#include "support/workspace_fixture.h"

namespace kestrel::app {
namespace {

using support::TempDrive;
using TagsTest = support::WorkspaceTest;
using Texts = std::vector<std::string>;

// Hands out made-up values and records what it is asked.
class CountingReader : public platform::TagReader {
  public:
    platform::FileStamp Stamp(const std::string& hostPath) const override {
        const std::lock_guard lock(mutex_);
        ++stamps;
        return {true, static_cast<std::uint64_t>(std::filesystem::file_size(hostPath)), 0};
    }
    platform::FileTags Read(const std::string& hostPath, unsigned sources) const override {
        const std::lock_guard lock(mutex_);
        ++reads[std::filesystem::path(hostPath).filename().string()];
        asked.push_back(sources);
        platform::FileTags tags;
        tags.stamp = {true, static_cast<std::uint64_t>(std::filesystem::file_size(hostPath)), 0};
        const std::string stem = std::filesystem::path(hostPath).stem().string();
        tags.artist = artistOf.contains(stem) ? artistOf.at(stem) : artist;
        tags.taken = "2001-02-03 04:05:06";
        return tags;
    }

    std::string artist = "Abba";
    std::map<std::string, std::string> artistOf;  // by file name without extension
    mutable int stamps = 0;
    mutable std::map<std::string, int> reads;
    mutable std::vector<unsigned> asked;

  private:
    mutable std::mutex mutex_;
};

class CountedTagsTest : public TagsTest {
  protected:
    CountedTagsTest() {
        workspace.SetTagReader(reader);
        for (const char* name : {"a.mp3", "b.mp3", "c.mp3"}) {
            drive.WriteFile(name, "x");
        }
        workspace.options.chkInsertStart = 1;
    }
    int Reads() const {
        int total = 0;
        for (const auto& [name, count] : reader.reads) {
            total += count;
        }
        return total;
    }

    CountingReader reader;
};

// Nothing is read for texts without tags; the first preview that names a
// tag reads the selected rows once, and later keystrokes read nothing. What a
// new listing checks is the tag cache's own.
TEST_F(CountedTagsTest, FilesAreReadOnlyForTagsInUseAndOnlyOnce) {
    workspace.options.txtInsertStart = "<not a tag> ";
    Refresh();
    EXPECT_EQ(Reads() + reader.stamps, 0);

    workspace.SetSelected(2, false);
    workspace.options.txtInsertStart = "<artist> - ";
    workspace.RefreshTargetList();
    EXPECT_EQ(reader.reads, (std::map<std::string, int>{{"a.mp3", 1}, {"b.mp3", 1}}));
    EXPECT_EQ(reader.asked.front(), platform::kMusicTags);
    EXPECT_EQ(workspace.TargetFileList(), (Texts{"Abba - a.mp3", "Abba - b.mp3", ""}));
    workspace.options.txtInsertStart = "<ARTIST> ";
    workspace.RefreshTargetList();
    EXPECT_EQ(Reads(), 2);

    workspace.options.txtInsertStart = "<artist> <taken:yyyy> ";
    workspace.RefreshTargetList();
    EXPECT_EQ(Reads(), 4);
    EXPECT_EQ(reader.asked.back(), platform::kTakenTag);
    EXPECT_EQ(workspace.TargetFileList()[0], "Abba 2001 a.mp3");
}

// The commit names files by the values the preview showed, even when the
// files say otherwise by then.
TEST_F(CountedTagsTest, DoItRenamesToTheNamesThePreviewShowed) {
    workspace.options.txtInsertStart = "<artist> - ";
    Refresh();
    reader.artist = "Queen";
    workspace.DoIt();
    EXPECT_EQ(drive.FileNames(), (Texts{"Abba - a.mp3", "Abba - b.mp3", "Abba - c.mp3"}));
}

// A row flagged only for a tag without a value is renamed all the same, so
// the name it leaves is free for another row.
TEST_F(CountedTagsTest, ARowWithoutATagValueStillFreesItsName) {
    workspace.preferences.errorChecking = 2;
    workspace.options.chkInsertStart = 0;
    workspace.options.chkSearchReplace = 1;
    workspace.options.chkRegex = 1;
    workspace.options.chkExtIncluded = 0;
    workspace.options.txtSearch = "^.$";
    workspace.options.txtReplace = "<artist>";
    reader.artistOf = {{"a", ""}, {"b", "a"}, {"c", "q"}};
    Refresh();
    EXPECT_EQ(workspace.TargetFileList(), (Texts{".mp3", "a.mp3", "q.mp3"}));
    EXPECT_EQ(workspace.EnglishErrorMessages(), (Texts{"No value for <artist>", "", ""}));
}

// Reading tags asks the listing's interrupt question; "Yes" stops it, and the
// rows not read keep their names and say why.
TEST_F(CountedTagsTest, TheInterruptQuestionStopsTheReading) {
    workspace.options.txtInsertStart = "x";
    Refresh();
    workspace.preferences.maxList = 1;
    workspace.preferences.maxListCutoff = 2;
    ui.QueueAnswer(Answer::Yes);
    workspace.options.txtInsertStart = "<artist> ";
    workspace.RefreshTargetList();
    ASSERT_EQ(ui.boxes().size(), 1U);
    EXPECT_TRUE(ui.boxes()[0].text.starts_with("User-specified interrupt after 2 items."));
    EXPECT_EQ(workspace.TargetFileList(), (Texts{"Abba a.mp3", "Abba b.mp3", ""}));
    EXPECT_EQ(workspace.ErrorMessage(2), engine::kTagsNotRead);
    EXPECT_EQ(Reads(), 2);

    workspace.RefreshTargetList();
    EXPECT_EQ(Reads(), 3);
    EXPECT_EQ(workspace.TargetFileList()[2], "Abba c.mp3");
}

}  // namespace
}  // namespace kestrel::app
