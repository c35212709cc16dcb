#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/case_handling.h"
#include "engine/name_text.h"
#include "engine/regex_replace.h"
#include "engine/rename_options.h"
#include "engine/tag_text.h"
#include "engine/tag_values.h"
#include "engine/text_effects.h"
#include "text/translation.h"

// Turns the current name of one item into its new name by running every
// enabled rename operation in the fixed order the main window lists them.
// Pure apart from the random case mode: it touches no file.
namespace kestrel::engine {

/// The most characters any text inside the pipeline holds: longer names and
/// steps that would grow past it (a paste into many "*" marks, a replacement
/// much longer than what it replaces) are cut here, so that one name can never
/// cost more than a bounded amount of work.
inline constexpr std::size_t kMaxNameLength = 32767;

/// The message of a row whose file was not read for the tags the texts name.
inline constexpr std::string_view kTagsNotRead = N_("The reading of tags stopped before this file");

/// What a call needs besides the name and the options.
struct NameContext {
    /// The item's full path: only its folder part is read (by the path splice).
    std::string_view fullPath;
    /// Number of selected items, for the width of automatic numbering.
    std::int64_t selectionCount = 1;
    /// The caller's per-pass sequence counter: the autonumber index.
    std::int64_t sequenceIndex = 0;
    /// What the item's file gave for the tags the texts name; null when it
    /// was not read.
    const TagValues* tags = nullptr;
};

/// A new name, or the reason an item keeps the one it has.
struct NameResult {
    std::string name;
    /// Empty when the name came out as asked; otherwise the row's message, in
    /// English as the preview lines write it.
    std::string message;
    /// The pipeline could not make a name: `name` is the item's own name. A
    /// name with a tag that found no value is made all the same, and flagged.
    bool keptName = false;
    /// `message` in the user's language, as the window shows it.
    std::string shownMessage{};
};

/// The options of one pass, converted once so that every name of the pass is
/// processed with the same values and without re-parsing option texts. A
/// pipeline belongs to one thread: the search pattern's matcher and its count
/// of slow names live in it for the pass.
class NamePipeline {
  public:
    NamePipeline(const RenameOptions& options, const std::vector<std::string>& caseRules,
                 RandomUnit random = {});

    /// `filename` is the item's own name; a folder carries one trailing "\".
    NameResult Process(std::string_view filename, const NameContext& context) const;
    /// Process into `result`, reusing what its texts hold: a pass over many
    /// names then allocates for none of them.
    void Process(std::string_view filename, const NameContext& context, NameResult& result) const;

    /// Why the search text cannot be used as a regular expression; while it
    /// is set, every name stays as it is.
    std::string_view PatternError() const;

    /// The tags named by the texts of the operations that are on: what must
    /// be read of each file before Process can make its name.
    TagSet UsedTags() const { return usedTags_; }

    /// True when two pipelines of the same options give every name the same
    /// result whichever of them makes it and in whatever order: no random
    /// case, and no search pattern, whose count of slow names spans the pass.
    bool SameOnAnyThread() const { return !pattern_ && caseHandling_ != CaseHandling::Random; }
    /// True when a name depends on its place in the pass (the autonumber).
    bool NumbersNames() const { return autonumber_.on; }

  private:
    struct Swap {
        bool on = false;
        std::u32string delimiter;
        std::int64_t low = 0;
        std::int64_t high = 0;
    };
    struct Splice {
        bool on = false;
        std::int64_t levels = 0;
        std::u32string separator;
    };
    struct Crop {
        bool on = false;
        std::int64_t position = 0;
        std::int64_t count = 0;
        bool fromRight = false;
    };
    struct Insert {
        bool on = false;
        TaggedText text;
    };
    struct Autonumber {
        bool on = false;
        int digits = 0;
        std::int64_t start = 0;
        std::int64_t step = 0;
    };

    void SplitExtension(std::u32string& base, std::u32string& extension) const;
    RegexReplace::Outcome ReplacePattern(std::u32string& base, std::u32string& extension,
                                         const NameContext& context, TagMiss& miss) const;
    void ApplyToNameAndExtension(std::u32string& base, std::u32string& extension,
                                 const NameContext& context, TagMiss& miss) const;
    void InsertTexts(std::u32string& base, const NameContext& context, TagMiss& miss) const;
    void CollectUsedTags();
    void SplicePath(std::u32string& base, std::string_view fullPath) const;
    void ChangeExtension(std::u32string& base, std::u32string& extension) const;
    void ReplaceCharacters(std::u32string& text) const;
    void PlaceFolderMarks(std::u32string& base, std::u32string_view startingBase) const;
    void NumberItem(std::u32string& base, const NameContext& context) const;
    void ApplyCase(std::u32string& base, std::u32string& extension) const;

    bool replaceWholeName_ = false;
    bool periodsAreCharacters_ = false;
    bool includeExtension_ = false;
    Swap swap_;
    Splice splice_;
    Crop crop_;
    bool changeExtension_ = false;
    std::u32string newExtension_;
    bool searchReplace_ = false;
    std::u32string search_;
    TaggedText replacement_;
    bool caseSensitive_ = false;
    bool firstOnly_ = false;
    std::optional<RegexReplace> pattern_;
    bool underscore_ = false;
    bool percent20_ = false;
    bool characterReplace_ = false;
    std::u32string searchChars_;
    std::u32string replaceChars_;
    Insert insertStart_;
    Insert insertMiddle_;
    std::int64_t insertPosition_ = 0;
    Insert insertEnd_;
    Autonumber autonumber_;
    bool padNumbers_ = false;
    int padLength_ = 0;
    bool padFromRight_ = false;
    CaseHandling caseHandling_ = CaseHandling::Off;
    int caseRulesScope_ = 0;
    CaseRuleSet caseRules_;
    TextEffect textEffect_ = TextEffect::None;
    bool collapseSpaces_ = false;
    RandomUnit random_;
    TagSet usedTags_;
    /// A text with its tags filled in, reused from name to name.
    mutable std::u32string filled_;
    /// The texts one name is made in, reused from name to name.
    mutable std::u32string whole_;
    mutable std::u32string base_;
    mutable std::u32string extension_;
    mutable std::u32string cut_;
    mutable ReplaceBuffers replace_;
};

/// One-off convenience: builds a pipeline for a single name.
std::string ProcessName(std::string_view filename, const RenameOptions& options,
                        const NameContext& context, const std::vector<std::string>& caseRules = {},
                        RandomUnit random = {});

}  // namespace kestrel::engine
