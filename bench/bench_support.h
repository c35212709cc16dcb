#pragma once

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "app/ui.h"
#include "app/workspace.h"
#include "platform/clock.h"
#include "platform/posix_file_system.h"

namespace kestrel::bench {

/// A window that shows nothing, so that benchmarks measure the work alone.
class SilentUi : public app::Ui {
  public:
    app::Answer Ask(std::string_view, std::string_view, app::Buttons, app::Icon) override {
        return app::Answer::Ok;
    }
    std::optional<std::string> Input(std::string_view, std::string_view,
                                     std::string_view initial) override {
        return std::string(initial);
    }
    void SetStatus(app::StatusPanel, std::string_view) override {}
    void ShowProgress(app::Progress, int) override {}
    void SetProgress(app::Progress, int) override {}
    void HideProgress(app::Progress) override {}
    void SetPointer(app::Pointer) override {}
    void SetListsVisible(bool) override {}
    bool SplashShowing() const override { return false; }
    void SetSplashStatus(std::string_view) override {}
    void PlaySound(std::string_view) override {}
    void ProcessPendingEvents() override {}
};

/// A temporary host folder holding `count` empty files, removed at the end.
class FileFolder {
  public:
    explicit FileFolder(int count, const char* prefix = "IMG_") {
        std::string pattern =
            std::filesystem::temp_directory_path().string() + "/kestrel-bench-XXXXXX";
        root_ = ::mkdtemp(pattern.data()) != nullptr ? pattern : std::string();
        for (int i = 0; i < count && !root_.empty(); ++i) {
            const std::string path = root_ + "/" + prefix + std::to_string(i) + ".jpg";
            const int fd = ::open(path.c_str(), O_CREAT | O_WRONLY, 0644);
            if (fd >= 0) {
                ::close(fd);
            }
        }
    }
    ~FileFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(root_, ignored);
    }
    FileFolder(const FileFolder&) = delete;
    FileFolder& operator=(const FileFolder&) = delete;

    const std::string& Root() const { return root_; }

  private:
    std::string root_;
};

/// A Workspace on drive T: mapped to a host folder, listing and selecting
/// every entry, with every name check on: what a user with a large folder
/// sees, without the settings store.
class FolderWorkspace {
  public:
    FolderWorkspace(const std::string& root, app::Ui& ui)
        : mapped_(Map(fileSystem_, root)), workspace_(fileSystem_, ui, clock_, [] { return 0.5; }) {
        workspace_.txtSourceDir = "T:\\";
        workspace_.txtDestDir = "T:\\";
        workspace_.preferences.errorChecking = 3;
        workspace_.options.cboFilter = engine::kViewAndSelectAll;
    }

    app::Workspace& Get() { return workspace_; }

    /// A new listing of the folder, as F5 makes it.
    void List() {
        workspace_.updateFlag = true;
        workspace_.RefreshSourceList();
        workspace_.updateFlag = false;
    }

  private:
    static bool Map(platform::PosixFileSystem& fileSystem, const std::string& root) {
        fileSystem.Drives().Map('T', root);
        return true;
    }

    platform::PosixFileSystem fileSystem_;
    platform::SystemClock clock_;
    bool mapped_;
    app::Workspace workspace_;
};

}  // namespace kestrel::bench
