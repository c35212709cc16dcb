#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <vector>

// Whether a target that exists now is really taken, once every new name of a
// preview pass is known. A file is no obstacle when the same pass renames it
// away (the commit then moves it first), unless that rename is flagged itself:
// then it may not happen, and the target stays taken. So "Filename already
// exists" passes back along a chain of renames from a flagged one, and a ring
// of renames (a swap) with no flagged member is no collision at all.
namespace kestrel::lists {

/// A row the pass renames, by the path it has now.
struct RenamedRow {
    std::size_t row = 0;
    std::string oldPath;  // folder and name, without a folder mark
    /// A change of letter case only, in the same folder: on a volume that
    /// ignores case the entry keeps its place.
    bool keepsPlace = false;
};

/// A row whose target a listed name may hold.
struct TargetInQuestion {
    std::size_t row = 0;
    std::string path;  // target folder and new name, without a folder mark
};

/// What only the disk can tell.
class TargetLookup {
  public:
    virtual ~TargetLookup() = default;
    /// The existing-target check for question `question`, as if no row were renamed.
    virtual bool Taken(std::size_t question) = 0;
    /// True when both paths name one entry.
    virtual bool SameEntry(const std::string& a, const std::string& b) = 0;
};

/// The questions (by number) whose targets stay taken. `flagged` holds, by
/// row, the rows other checks flagged; the rows found taken are flagged in it
/// too. The disk is asked only where a target's holder is not one of the
/// renamed rows, or is flagged.
std::vector<std::size_t> DecideTakenTargets(std::span<const RenamedRow> renamed,
                                            std::span<const TargetInQuestion> questions,
                                            std::vector<bool>& flagged, TargetLookup& lookup);

}  // namespace kestrel::lists
