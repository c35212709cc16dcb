#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "update/update_check.h"

// The Internet update's meeting points with the windows: its boxes through
// the window interface, its progress window, the desktop's opener for the
// updater, and the program's orderly end.
namespace kestrel::ui {

class QtUi;

class WindowUpdateHost final : public update::UpdateHost {
  public:
    WindowUpdateHost(QtUi& ui, update::ProgressView& progress,
                     std::function<void(std::string_view)> status, std::function<void()> shutdown)
        : ui_(ui),
          progress_(progress),
          status_(std::move(status)),
          shutdown_(std::move(shutdown)) {}

    bool Show(update::Box box, std::string_view text) override;
    void ShowStatus(std::string_view status) override;
    update::ProgressView& Progress() override { return progress_; }
    bool StartUpdater(const std::string& hostPath) override;
    void Shutdown() override { shutdown_(); }

  private:
    QtUi& ui_;
    update::ProgressView& progress_;
    std::function<void(std::string_view)> status_;
    std::function<void()> shutdown_;
};

}  // namespace kestrel::ui
