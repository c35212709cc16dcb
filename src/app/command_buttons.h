#pragma once

#include <array>
#include <cstddef>

// The enabled state of the main window's command buttons lives with the
// Workspace, so that long operations can disable them without a window; the
// window mirrors it.
namespace kestrel::app {

enum class CommandButton : std::size_t {
    DoIt,          // cmdDoIt
    Clear,         // cmdClear, "Reset &Options"
    EditRules,     // cmdEditRules
    Preferences,   // cmdPreferences
    Undo,          // cmdUndo
    Refresh,       // cmdRefresh
    Help,          // cmdHelp
    About,         // cmdAbout
    Templates,     // cmdTemplates
    BrowseSource,  // cmdBrowseSource
    BrowseDest,    // cmdBrowseDest
    PrintSource,   // cmdPrint(0)
    PrintTarget,   // cmdPrint(1)
    Count
};

class CommandButtons {
  public:
    CommandButtons() {
        enabled_.fill(true);
        enabled_[Index(CommandButton::Undo)] = false;
    }

    bool Enabled(CommandButton button) const { return enabled_[Index(button)]; }
    void SetEnabled(CommandButton button, bool on) { enabled_[Index(button)] = on; }

    /// Every named button off, for the length of a long operation.
    void DisableAll() { enabled_.fill(false); }
    /// Every named button on again; Undo only while there is something to undo,
    /// otherwise Undo keeps its state.
    void EnableAll(bool undoAvailable) {
        const bool undo = enabled_[Index(CommandButton::Undo)];
        enabled_.fill(true);
        enabled_[Index(CommandButton::Undo)] = undoAvailable || undo;
    }

  private:
    static constexpr std::size_t Index(CommandButton b) { return static_cast<std::size_t>(b); }
    std::array<bool, static_cast<std::size_t>(CommandButton::Count)> enabled_{};
};

}  // namespace kestrel::app
