#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/workspace.h"
#include "support/fake_clock.h"
#include "support/forwarding_file_system.h"
#include "support/neutral_options.h"
#include "support/scripted_ui.h"
#include "support/temp_drive.h"

namespace kestrel::support {

/// A Workspace on a fresh drive T: with a scripted window and a fake clock. The
/// working and target folders start at T:\ and the rename options with every
/// operation off, so a test switches on only what it is about. The Workspace
/// reaches the drive through `FileSystem`, a ForwardingFileSystem a test may
/// give to watch calls or make them fail.
template <typename FileSystem = ForwardingFileSystem>
class WorkspaceTestOn : public ::testing::Test {
  protected:
    WorkspaceTestOn() {
        workspace.txtSourceDir = TempDrive::Path("");
        workspace.txtDestDir = TempDrive::Path("");
        workspace.options = support::NeutralOptions();
    }

    void Refresh() {
        workspace.updateFlag = true;
        workspace.RefreshSourceList();
        workspace.updateFlag = false;
    }

    std::vector<std::string> SourceTexts() const {
        std::vector<std::string> texts;
        for (const auto& row : workspace.SourceFileList()) {
            texts.push_back(row.text);
        }
        return texts;
    }

    TempDrive drive;
    FileSystem fileSystem{drive.FileSystem()};
    ScriptedUi ui;
    FakeClock clock;
    app::Workspace workspace{fileSystem, ui, clock, [] { return 0.5; }};
};

using WorkspaceTest = WorkspaceTestOn<>;

}  // namespace kestrel::support
