// Commits and undos killed with SIGKILL, at chosen steps or at random
// moments: every file must stay whole under its old or its new name, every
// step that ran must be in the journal, no final name may ever hold part of a
// file, and the next start must be able to give every file its old name back.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <random>
#include <sstream>
#include <thread>

#include "app/journal_recovery.h"
#include "app/workspace.h"
#include "platform/clock.h"
#include "support/forwarding_file_system.h"
#include "support/neutral_options.h"
#include "support/scripted_ui.h"
#include "support/temp_drive.h"

namespace kestrel::app {
namespace {

enum class Stop { AfterRename, AfterMoveBack, BeforeDelete, Never };

// Kills its own process after the n-th rename or move back, or before the
// n-th delete of a move across drives (its copy made). f5 fails to rename
// twice: retried, then ignored, which moves every later autonumber.
class KillingFileSystem : public support::ForwardingFileSystem {
  public:
    KillingFileSystem(platform::FileSystem& inner, Stop stop, int at)
        : ForwardingFileSystem(inner), stop_(stop), left_(at) {}
    FileError Rename(std::string_view from, std::string_view to) override {
        return Count(Stop::AfterRename, from == "S:\\f5" && failures_-- > 0
                                            ? FileError::Make(platform::kPermissionDenied)
                                            : inner_.Rename(from, to));
    }
    FileError Move(std::string_view from, std::string_view to) override {
        return Count(Stop::AfterMoveBack, inner_.Move(from, to));
    }
    FileError DeleteFile(std::string_view path) override {
        Count(Stop::BeforeDelete, {});
        return inner_.DeleteFile(path);
    }

  private:
    FileError Count(Stop stop, FileError result) {
        if (stop == stop_ && --left_ == 0) {
            ::kill(::getpid(), SIGKILL);
        }
        return result;
    }
    Stop stop_;
    int left_;
    int failures_ = 2;
};

// The working folder S: and the target folder D:, and the folder of the
// journals, each a drive of its own.
class CrashTest : public ::testing::Test {
  protected:
    explicit CrashTest(const std::string& sourceParent = std::filesystem::temp_directory_path())
        : source(sourceParent, 'S') {}

    // Lists S: in a child process, new names going to `to`, with `options` on
    // top of every operation off, and then runs `work` there. The child kills
    // itself at `stop` (never, with Stop::Never), or the parent kills it
    // `killAfter` after the listing. Returns whether it was killed.
    bool InChild(char to, const std::function<void(engine::RenameOptions&)>& options,
                 const std::function<void(Workspace&)>& work, Stop stop = Stop::Never, int at = 0,
                 std::chrono::microseconds killAfter = {}) {
        std::cout.flush();  // the child must not print what the parent buffered
        int listed[2];
        EXPECT_EQ(::pipe(listed), 0);
        const pid_t child = ::fork();
        if (child == 0) {
            platform::PosixFileSystem fileSystem;
            fileSystem.Drives().Map('S', source.HostRoot());
            fileSystem.Drives().Map('D', target.HostRoot());
            KillingFileSystem killing(fileSystem, stop, at);
            support::ScriptedUi ui;
            ui.QueueAnswers("RI");
            platform::SystemClock clock;
            Workspace workspace(killing, ui, clock, [] { return 0.5; });
            workspace.AttachJournal({state.HostRoot(), &fileSystem.Drives()});
            workspace.options = support::NeutralOptions();
            options(workspace.options);
            workspace.txtSourceDir = "S:\\";
            workspace.txtDestDir = std::string{to, ':', '\\'};
            workspace.updateFlag = true;
            workspace.RefreshSourceList();
            EXPECT_EQ(::write(listed[1], "!", 1), 1);
            work(workspace);
            ::_exit(0);
        }
        char signal = 0;
        EXPECT_EQ(::read(listed[0], &signal, 1), 1);
        ::close(listed[0]);
        ::close(listed[1]);
        if (killAfter.count() > 0) {
            std::this_thread::sleep_for(killAfter);
            ::kill(child, SIGKILL);
        }
        int status = 0;
        ::waitpid(child, &status, 0);
        return WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
    }

    support::TempDrive source;
    support::TempDrive target{std::filesystem::temp_directory_path(), 'D'};
    support::TempDrive state;
};

class JournalCrash : public CrashTest {
  protected:
    // Every file once, whole, on S: or D: (twice only `underBoth` times: a
    // move cut between its copy and its delete), and each one not under its
    // old name moved by a step of the journal. Returns how many moved.
    int CheckWhole(int underBoth) {
        std::map<std::string, int> seen;
        int moved = 0;
        for (const support::TempDrive* drive : {&source, &target}) {
            for (const auto& entry : std::filesystem::directory_iterator(drive->HostRoot())) {
                const std::string name = entry.path().filename();
                const std::string contents = drive->ReadFile(name);
                ++seen[contents];
                const std::string old = OldName(std::stoi(contents.substr(contents.rfind(' '))));
                if (name != old || drive != &source) {
                    ++moved;
                    EXPECT_TRUE(Journaled("S:\\" + old, drive->ProgramPath(name))) << name;
                }
            }
        }
        for (int file = 0; file < files_; ++file) {
            const int count = seen["contents of " + std::to_string(file)];
            EXPECT_TRUE(count == 1 || (count == 2 && underBoth-- > 0)) << file << ": " << count;
        }
        EXPECT_EQ(seen.size(), static_cast<std::size_t>(files_));
        return moved;
    }

    // A step of the journal took the file from `from` to `to`, or two did,
    // through a temporary name.
    bool Journaled(const std::string& from, const std::string& to) const {
        for (auto step = journaled_.lower_bound({from, ""});
             step != journaled_.end() && step->first == from; ++step) {
            if (step->second == to || journaled_.contains({step->second, to})) {
                return true;
            }
        }
        return false;
    }

    // Every file on S: once, under the name numbered `newNumber(file)`; then
    // each back under its old name, for the next round.
    void ExpectCommittedAndPutBack(const std::function<int(int)>& newNumber) {
        for (int file = 0; file < files_; ++file) {
            ASSERT_EQ(source.ReadFile(OldName(newNumber(file))),
                      "contents of " + std::to_string(file));
        }
        for (int file = 0; file < files_; ++file) {
            std::filesystem::rename(source.HostPath(OldName(newNumber(file))),
                                    source.HostPath(OldName(file) + ".back"));
        }
        for (int file = 0; file < files_; ++file) {
            std::filesystem::rename(source.HostPath(OldName(file) + ".back"),
                                    source.HostPath(OldName(file)));
        }
    }

    std::string OldName(int file) const {
        char name[16];
        std::snprintf(name, sizeof name, nameFormat_, file);
        return name;
    }

    void MakeFiles(int count) {
        for (; files_ < count; ++files_) {
            source.WriteFile(OldName(files_), "contents of " + std::to_string(files_));
        }
    }

    // The commit, and its undo, to S: or, across drives, D:, with `options` on
    // top of an autonumber.
    bool CommitInChild(Stop stop, int at, char to,
                       const std::function<void(engine::RenameOptions&)>& options,
                       std::chrono::microseconds killAfter = {}) {
        return InChild(
            to,
            [&options](engine::RenameOptions& o) {
                o.cboAutonumber = "Auto";
                options(o);
            },
            [](Workspace& workspace) {
                workspace.DoIt();
                workspace.Undo();
            },
            stop, at, killAfter);
    }

    void ReadJournals() {
        journaled_.clear();
        std::string bytes;
        for (const platform::JournalFile& journal :
             platform::TakeAbandonedJournals(state.HostRoot())) {
            ASSERT_TRUE(journal.ReadAll(bytes).Ok());
            const auto contents = commit::ReadJournal(bytes);
            ASSERT_TRUE(contents);
            for (const commit::UndoEntry& step : contents->steps) {
                journaled_.insert({step.oldPath, step.newPath});
            }
        }
    }

    // The next start asks once when `moved` files are under new names; Yes
    // brings every old name back.
    void RecoverAtNextStart(int moved) {
        support::ScriptedUi ui;
        ui.QueueAnswer(Answer::Yes);
        RecoverInterruptedOperations(state.HostRoot(), ui);
        EXPECT_EQ(ui.boxes().size(), moved > 0 ? 1u : 0u);
        EXPECT_EQ(moved > 0 ? ui.boxes().at(0).title : kInterruptedTitle, kInterruptedTitle);
        EXPECT_EQ(CheckWhole(0), 0);
        EXPECT_TRUE(std::filesystem::is_empty(state.HostRoot()));
    }

    std::set<std::pair<std::string, std::string>> journaled_;
    int files_ = 0;
    const char* nameFormat_ = "f%d";
};

TEST_F(JournalCrash, TwentyThousandFilesKilledAnywhereAreUndoneAtTheNextStart) {
    MakeFiles(20000);
    // f5, the 14,446th in the list, fails twice and stays. Across drives, the
    // 101st file is killed with its copy on D: and its source still on S:.
    for (const auto& [stop, at, moved, to, underBoth] :
         {std::tuple{Stop::AfterRename, 1, 1, 'S', 0},
          {Stop::AfterRename, 10000, 10000, 'S', 0},
          {Stop::AfterRename, 19999, 19997, 'S', 0},
          {Stop::AfterMoveBack, 10000, 9999, 'S', 0},
          {Stop::BeforeDelete, 101, 101, 'D', 1}}) {
        SCOPED_TRACE(std::to_string(at) + " " + to);
        ASSERT_TRUE(CommitInChild(stop, at, to, [](engine::RenameOptions& o) {
            o.chkInsertStart = 1;
            o.txtInsertStart = "new ? ";
        }));
        ReadJournals();
        EXPECT_EQ(CheckWhole(underBoth), moved);
        RecoverAtNextStart(moved);
    }
}

// A shift gives every file the name of the next, so the renames run from the
// last file back to the first; a reversal swaps the files pairwise, each swap
// through a temporary name. Killed after any rename, or at any moment of the
// commit or its undo, the next start gives every file its old name back.
TEST_F(JournalCrash, ShiftAndSwapsOfTenThousandKilledAtRandomMomentsAreUndoneAtTheNextStart) {
    nameFormat_ = "f%05d";
    MakeFiles(10000);
    const auto numbered = [](const char* start, const char* step) {
        return [start, step](engine::RenameOptions& o) {
            o.chkReplaceWholeName = 1;
            o.chkInsertStart = 1;
            o.txtInsertStart = "f?";
            o.cboAutonumber = "5";
            o.txtAutonumberStartNum = start;
            o.txtAutonumberStep = step;
        };
    };
    const unsigned seed = std::random_device{}();
    std::mt19937 random(seed);
    SCOPED_TRACE("seed " + std::to_string(seed));
    // Shape, its renames, and how the child stops: after a rename of the
    // commit, after a move back of its undo, or killed at a random moment.
    const std::tuple<bool, int, Stop> rounds[] = {
        {true, 10000, Stop::AfterRename},    {true, 10000, Stop::AfterRename},
        {true, 10000, Stop::AfterMoveBack},  {true, 10000, Stop::Never},
        {true, 10000, Stop::Never},          {false, 15000, Stop::AfterRename},
        {false, 15000, Stop::AfterMoveBack}, {false, 15000, Stop::Never},
    };
    for (const auto& [shift, renames, stop] : rounds) {
        const int at = std::uniform_int_distribution<int>(1, renames)(random);
        const auto killAfter = std::chrono::microseconds(
            stop == Stop::Never ? std::uniform_int_distribution<int>(50'000, 400'000)(random) : 0);
        SCOPED_TRACE(std::string(shift ? "shift" : "swaps") + ", step " + std::to_string(at) +
                     ", after " + std::to_string(killAfter.count()) + " us");
        if (!CommitInChild(stop, at, 'S', shift ? numbered("1", "1") : numbered("9999", "-1"),
                           killAfter)) {
            EXPECT_EQ(CheckWhole(0), 0);  // done and undone before the kill
            continue;
        }
        ReadJournals();
        if (stop == Stop::Never && journaled_.empty() &&
            (!std::filesystem::exists(source.HostPath(OldName(0))) ||
             source.ReadFile(OldName(0)) != "contents of 0")) {
            // Killed after the commit ended and before its undo began: no
            // journal, every file whole under the name the commit gave it.
            ExpectCommittedAndPutBack([shift](int file) { return shift ? file + 1 : 9999 - file; });
            continue;
        }
        const int moved = CheckWhole(0);
        if (shift && stop != Stop::Never) {
            EXPECT_EQ(moved, stop == Stop::AfterMoveBack ? 10000 - at : at);
        }
        RecoverAtNextStart(moved);
    }
}

// A recovery that stops after it closed a ring of renames, before it removed
// the journal: the next start finds the ring as it began, which looks on disk
// like the ring done. The journal must say which.
TEST(JournalRecovery, ARecoveryCutShortIsNotUndoneByTheNext) {
    support::TempDrive drive;
    support::TempDrive state;
    // A swap done: a's bytes went through a temporary name to b.
    drive.WriteFile("a", "b's bytes");
    drive.WriteFile("b", "a's bytes");
    {
        commit::CommitJournal journal({state.HostRoot(), &drive.FileSystem().Drives()},
                                      commit::JournalOperation::Commit, 1);
        for (const auto& [from, to] : {std::pair{"a", "t"}, {"b", "a"}, {"t", "b"}}) {
            journal.Add(commit::StepKind::Rename, drive.Path(from), drive.Path(to));
        }
        ASSERT_TRUE(journal.Flush().Ok());
    }
    // Stops as the recovery ends, with the journal still there.
    struct StoppingUi : support::ScriptedUi {
        void SetPointer(Pointer pointer) override {
            if (pointer == Pointer::Normal) {
                ::_exit(0);
            }
        }
    };
    std::cout.flush();
    const pid_t child = ::fork();
    if (child == 0) {
        StoppingUi ui;
        ui.QueueAnswer(Answer::Yes);
        RecoverInterruptedOperations(state.HostRoot(), ui);
        ::_exit(1);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_EQ(drive.ReadFile("a"), "a's bytes");
    EXPECT_FALSE(std::filesystem::is_empty(state.HostRoot()));

    support::ScriptedUi ui;
    ui.QueueAnswer(Answer::Yes);
    RecoverInterruptedOperations(state.HostRoot(), ui);
    EXPECT_EQ(drive.ReadFile("a"), "a's bytes");
    EXPECT_EQ(drive.ReadFile("b"), "b's bytes");
    EXPECT_FALSE(drive.Exists("t"));
    EXPECT_TRUE(std::filesystem::is_empty(state.HostRoot()));
}

TEST(JournalRecovery, AsksOnceAndUndoesForgetsOrKeepsTheJournal) {
    support::TempDrive drive;
    support::TempDrive state;
    platform::PosixFileSystem& fs = drive.FileSystem();
    // Steps that ran (F -> G, G\a -> G\b, a -> b), never ran (c -> d, o -> n
    // whose new name was taken), copied (p -> q), stopped between copy and
    // delete (m -> k), and lost their file (x -> y).
    drive.WriteFiles({"G\\b", "b", "c", "o", "n", "p", "m"}, true);
    ASSERT_TRUE(fs.Copy(drive.Path("p"), drive.Path("q")).Ok());
    ASSERT_TRUE(fs.Copy(drive.Path("m"), drive.Path("k")).Ok());
    const auto leave = [&](commit::JournalOperation operation) {
        commit::CommitJournal journal({state.HostRoot(), &fs.Drives()}, operation, 1);
        // The kind's number, then the old and the new name.
        for (const char* step : {"0FG", "0G\\aG\\b", "0ab", "0cd", "0on", "2pq", "1mk", "0xy"}) {
            const std::string_view names(step + 1);
            journal.Add(static_cast<commit::StepKind>(step[0] - '0'),
                        drive.Path(names.substr(0, names.size() / 2)),
                        drive.Path(names.substr(names.size() / 2)));
        }
        ASSERT_TRUE(journal.Flush().Ok());
    };
    const auto recover = [&](Answer answer) {
        support::ScriptedUi ui;
        ui.QueueAnswer(answer);
        ui.QueueAnswer(Answer::Ok);
        RecoverInterruptedOperations(state.HostRoot(), ui);
        return ui.boxes();
    };
    leave(commit::JournalOperation::Commit);
    const std::string left = std::filesystem::directory_iterator(state.HostRoot())->path();
    std::ostringstream report;  // without a window
    ReportInterruptedOperations(state.HostRoot(), report);
    EXPECT_EQ(report.str(),
              "An interrupted \"Do It!\" may have left entries under their new "
              "names (" +
                  left +
                  "). Start Kestrel with its window to undo it or "
                  "to keep the files as they are.\n");
    EXPECT_EQ(recover(Answer::Cancel).at(0).text,
              "Kestrel stopped before it finished a \"Do It!\": 4 entries are under their new "
              "names.\r\rDo you wish to undo it and give back the old names?\r\rYes undoes "
              "it, No keeps the files as they are now, and Cancel asks again at the next "
              "start.");
    // No forgets the journal and keeps the files: Yes below finds only the next one.
    recover(Answer::No);

    leave(commit::JournalOperation::Undo);
    const auto undone = recover(Answer::Yes);
    EXPECT_TRUE(
        undone.at(0).text.starts_with("Kestrel stopped before it finished an \"Undo the "
                                      "Do!\": 4 entries are still under their new names."));
    EXPECT_EQ(undone.at(1).text, "These entries could not be given back their old names:\r\r" +
                                     drive.HostPath("y") + " -> " + drive.HostPath("x") +
                                     ": Error 53 (File not found)");
    // Newest first: the file inside the renamed folder went back before the folder.
    EXPECT_EQ(drive.ReadFile("F\\a"), "G\\b");
    EXPECT_EQ(drive.ReadFile("a"), "b");
    for (const char* name : {"c", "o", "n", "p", "q", "m"}) {
        EXPECT_TRUE(drive.Exists(name)) << name;
    }
    EXPECT_FALSE(drive.Exists("G") || drive.Exists("b") || drive.Exists("d") || drive.Exists("k"));
    EXPECT_TRUE(std::filesystem::is_empty(state.HostRoot()));
}

constexpr int kFiles = 100;
constexpr std::size_t kFileSize = 4 * 1024 * 1024;

// Each file different at every 4 KiB, so that any part of one differs from the whole.
std::string Contents(int file) {
    std::string bytes(kFileSize, static_cast<char>('a' + file % 26));
    for (std::size_t at = 0; at < kFileSize; at += 4096) {
        const std::string stamp = std::to_string(file) + ":" + std::to_string(at);
        bytes.replace(at, stamp.size(), stamp);
    }
    return bytes;
}

std::string Name(int file) {
    return "f" + std::to_string(100 + file) + ".bin";
}

// The entries of `folder` whose names start with `start`: the temporary
// copies with ".kestrel-".
std::size_t Count(const std::string& folder, std::string_view start = "") {
    std::size_t count = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        count += entry.path().filename().string().starts_with(start) ? 1 : 0;
    }
    return count;
}

// A commit that moves files to another file system, killed at random moments.
class CommitCrash : public CrashTest {
  protected:
    CommitCrash() : CrashTest("/dev/shm") {}

    void SetUp() override {
        struct stat a {};
        struct stat b {};
        if (!source.Valid() || ::stat(source.HostRoot().c_str(), &a) != 0 ||
            ::stat(target.HostRoot().c_str(), &b) != 0 || a.st_dev == b.st_dev) {
            GTEST_SKIP() << "/dev/shm is not a second file system here";
        }
        for (int file = 0; file < kFiles; ++file) {
            contents[file] = Contents(file);
            source.WriteFile(Name(file), contents[file]);
        }
    }

    // A whole commit in a child process, the renamed files going to D:; killed
    // `killAfter` milliseconds after the listing unless that is negative.
    void Commit(int killAfter) {
        InChild(
            'D',
            [](engine::RenameOptions& o) {
                o.chkInsertStart = 1;
                o.txtInsertStart = "moved ";
            },
            [](Workspace& workspace) { workspace.DoIt(); }, Stop::Never, 0,
            std::chrono::milliseconds(std::max(killAfter, 0)));
    }

    // Fails on a missing or partial file; counts those under both names, which
    // a kill between a copy taking its name and the delete of its source leaves.
    int CheckEveryFileWhole() {
        int twice = 0;
        for (int file = 0; file < kFiles; ++file) {
            SCOPED_TRACE(Name(file));
            const bool old = source.Exists(Name(file));
            const bool moved = target.Exists("moved " + Name(file));
            EXPECT_TRUE(old || moved);
            EXPECT_TRUE(!old || source.ReadFile(Name(file)) == contents[file]);
            EXPECT_TRUE(!moved || target.ReadFile("moved " + Name(file)) == contents[file]);
            twice += old && moved ? 1 : 0;
        }
        return twice;
    }

    // Recovers what a killed commit left as the next start would: the window
    // answering Yes or No, or a run without a window that only reports it.
    void Recover(int round) {
        support::ScriptedUi ui;
        ui.QueueAnswer(round % 3 == 0 ? Answer::Yes : Answer::No);
        ui.QueueAnswer(Answer::Ok);
        std::ostringstream report;
        if (round % 3 == 2) {
            ReportInterruptedOperations(state.HostRoot(), report);
        } else {
            RecoverInterruptedOperations(state.HostRoot(), ui);
        }
        for (const auto& entry : std::filesystem::directory_iterator(state.HostRoot())) {
            std::filesystem::remove(entry.path());
        }
    }

    std::string contents[kFiles];
};

TEST_F(CommitCrash, KilledMoveToAnotherFileSystemLosesAndDamagesNothing) {
    std::minstd_rand random(20261207);
    std::size_t cutCopies = 0;
    for (int round = 0; round < 10; ++round) {
        SCOPED_TRACE(round);
        // A whole commit takes about a second here.
        Commit(50 + static_cast<int>(random() % 850));
        if (const int twice = CheckEveryFileWhole(); twice > 0) {
            std::cout << "round " << round << ": " << twice << " file(s) under both names\n";
        }
        cutCopies += Count(target.HostRoot(), ".kestrel-");
        // Whatever the answer, the recovery leaves no temporary copy behind
        // in the folders the journal names, and loses nothing.
        Recover(round);
        EXPECT_EQ(Count(target.HostRoot(), ".kestrel-") + Count(source.HostRoot(), ".kestrel-"),
                  0u);
        CheckEveryFileWhole();
        std::filesystem::remove_all(target.HostRoot());
        std::filesystem::create_directory(target.HostRoot());
        SetUp();
    }
    std::cout << cutCopies << " of 10 kills left a temporary copy\n";
    EXPECT_GT(cutCopies, 0u);
    // A commit that runs to its end sweeps the temporary copy a killed one left
    // and moves what is left.
    Commit(static_cast<int>(random() % 600));
    Commit(-1);
    const int twice = CheckEveryFileWhole();
    EXPECT_EQ(Count(source.HostRoot()), static_cast<std::size_t>(twice));
    EXPECT_EQ(Count(target.HostRoot()), static_cast<std::size_t>(kFiles));
}

}  // namespace
}  // namespace kestrel::app
