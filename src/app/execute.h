#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "app/path_presenter.h"
#include "app/ui.h"
#include "platform/desktop_opener.h"
#include "platform/file_system.h"

// Opens an entry with the desktop's program for its type, or explores a
// folder, and reports failures with the program's fixed texts.
namespace kestrel::app {

/// The text of an open request's result code ("No association for File
/// extension" for 31) in the user's language; empty for a code above 32,
/// which is success.
std::string_view ExecuteResultText(int code);

/// What an open request came to: empty text on success, else the reason.
using ExecuteDone = std::function<void(const std::string& failure)>;

/// Opens the entry at program path `path` (a folder mark is allowed) without
/// waiting for the desktop: the outcome comes later, through `done`, as
/// empty text on success, else the table's text, first shown when
/// `showErrors` is above 0 in a critical box titled `operation` + " error".
/// `operation` is in English, marked with N_ by the caller; the title is in
/// the user's language.
/// The desktop's opener needs neither a working folder nor a window state.
void Execute(platform::FileSystem& fileSystem, platform::DesktopOpener& opener, Ui& ui,
             std::string_view path, int showErrors, std::string_view operation,
             ExecuteDone done = {}, const PathPresenter& paths = PathPresenter());

}  // namespace kestrel::app
