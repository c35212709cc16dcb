#pragma once

#include <cstddef>
#include <iosfwd>
#include <string>

#include <string_view>
#include "app/path_presenter.h"

#include "app/ui.h"
#include "text/translation.h"

// At start-up: the journals of commits and undos that a crash or a kill cut
// short. The window offers to undo each; a run without a window only says
// that they are there, since nobody can be asked.
namespace kestrel::app {

/// The boxes' title, in English; shown as text::Tr gives it.
inline constexpr std::string_view kInterruptedTitle = N_("Interrupted operation");

/// For each interrupted operation whose entries are not all under their old
/// names, asks whether to undo it (Yes), keep the files as they are and
/// forget the journal (No), or decide at the next start (Cancel). The undo
/// follows the undo's rules and reports in one box, by name, what could not
/// be restored. Journals another running copy is writing are not touched.
/// Paths in the box are shown in `style`.
void RecoverInterruptedOperations(const std::string& stateFolder, Ui& ui,
                                  PathStyle style = PathStyle::Host);

/// Undoes every interrupted operation without asking (a run asked to undo),
/// saying so on `errors`, with "Error N: description" and the path of each
/// entry that could not be restored, which `failures` counts. Returns how
/// many operations it undid.
std::size_t UndoInterruptedOperations(const std::string& stateFolder, std::ostream& errors,
                                      std::size_t& failures);

/// Names each interrupted operation on `errors` and leaves its journal.
void ReportInterruptedOperations(const std::string& stateFolder, std::ostream& errors);

}  // namespace kestrel::app
