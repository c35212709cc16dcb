#pragma once

#include <string>
#include <string_view>

#include "platform/drive_table.h"

// Where a path becomes text for the user: shown as this computer writes it
// (/home/me/Photos/) or in drive-letter form (C:\home\me\Photos\), by the
// preference "Path style". Kestrel keeps program paths inside; only what is
// shown changes, never what is written to a file.
namespace kestrel::app {

enum class PathStyle { Host = 0, DriveLetters = 1 };

class PathPresenter {
  public:
    /// Without a drive table every path is shown as it is kept.
    explicit PathPresenter(const platform::DriveTable* drives = nullptr,
                           PathStyle style = PathStyle::Host)
        : drives_(drives), style_(style) {}

    PathStyle Style() const { return style_; }
    void SetStyle(PathStyle style) { style_ = style; }

    /// A whole program path ("C:\home\me\a.jpg", a folder with its mark) as
    /// the user reads it; a path no drive letter maps is shown as it is kept.
    std::string Path(std::string_view programPath) const;
    /// A path below a folder ("2001\a.jpg", a new name with sub-folders) as
    /// the user reads it: this computer's separator in the host style.
    std::string Relative(std::string_view relative) const;

    /// A list row's text as shown: a whole path in the full-path display,
    /// else a name or a path below the working folder.
    std::string Row(std::string_view rowText, bool fullPath) const {
        return fullPath ? Path(rowText) : Relative(rowText);
    }

  private:
    const platform::DriveTable* drives_;
    PathStyle style_;
};

}  // namespace kestrel::app
