#include "engine/name_pipeline.h"

#include <algorithm>
#include <memory>
#include <random>

#include "engine/name_text.h"
#include "text/numbers.h"
#include "text/unicode_text.h"

namespace kestrel::engine {
namespace {

// Option texts from a template may hold anything. Numbers are read once and
// kept within limits that make every step finite and overflow-free; a value
// that makes no sense (a position below 1, say) switches its step off.
constexpr std::int64_t kFieldMaximum = 255;
constexpr std::int64_t kAutonumberLimit = 1'000'000'000'000;  // start and step
constexpr std::int64_t kSequenceLimit = 1'000'000;            // index and count

std::int64_t Number(std::string_view text) {
    return text::WholeNumber(text);
}

// An option text as the pipeline uses it: code points, at most as many as an
// entry field holds, whatever the options record was filled from.
std::u32string Field(std::string_view text) {
    return text::ToCodePoints(text::FirstCodePoints(text, kMaxOptionTextLength));
}

void Cap(std::u32string& text) {
    if (text.size() > kMaxNameLength) {
        text.resize(kMaxNameLength);
    }
}

template <typename Enum>
Enum ListChoice(int position, int count) {
    return (position >= 0 && position < count) ? static_cast<Enum>(position) : Enum{};
}

void ReplaceAll(std::u32string& text, char32_t from, char32_t to) {
    std::replace(text.begin(), text.end(), from, to);
}

// "%20" becomes a space; it holds no letters, so a plain search is the
// case-blind one.
void ReplacePercent20(std::u32string& text, ReplaceBuffers& buffers) {
    if (text.find(U'%') == std::u32string::npos) {
        return;
    }
    ReplaceTextInPlace(text, U"%20", U" ", true, false, std::u32string::npos, buffers);
}

void PasteCutText(std::u32string& text, std::u32string_view cut, ReplaceBuffers& buffers) {
    if (text.find(U'*') != std::u32string::npos) {
        ReplaceTextInPlace(text, U"*", cut, true, false, kMaxNameLength, buffers);
    }
}

TaggedText TaggedField(std::string_view text) {
    return TaggedText(Field(text));
}

// The text as this item gets it: as typed, or with its tags filled in from
// the item's file.
const std::u32string& TextFor(const TaggedText& text, const NameContext& context,
                              std::u32string& filled, TagMiss& miss) {
    if (!text.HasTags()) {
        return text.Literal();
    }
    text.Fill(*context.tags, filled, miss);
    return filled;
}

// An item that keeps its name, and the message that says why.
void KeepName(std::string_view filename, std::string_view message, NameResult& result) {
    RowMessage both = RowMessage::Fixed(std::string(message));
    result.name.assign(filename);
    result.message = std::move(both.english);
    result.shownMessage = std::move(both.shown);
    result.keptName = true;
}

// A tag without a value flags the row only where its text went into the name.
void Keep(TagMiss& miss, TagMiss& used) {
    if (!miss.Missed() && used.Missed()) {
        miss = std::move(used);
    }
}

}  // namespace

NamePipeline::NamePipeline(const RenameOptions& o, const std::vector<std::string>& caseRules,
                           RandomUnit random)
    : caseRules_(caseRules), random_(std::move(random)) {
    if (!random_) {
        // Callers that do not care about repeatability get a generator of their own.
        auto engine = std::make_shared<std::mt19937>(std::random_device{}());
        random_ = [engine] { return std::uniform_real_distribution<double>(0.0, 1.0)(*engine); };
    }
    replaceWholeName_ = o.chkReplaceWholeName == 1;
    periodsAreCharacters_ = o.chkNoExt == 1;
    includeExtension_ = o.chkExtIncluded == 1;

    const std::int64_t areaA = Number(o.txtSwapArea[0]);
    const std::int64_t areaB = Number(o.txtSwapArea[1]);
    swap_.delimiter = Field(o.txtSwapSep);
    swap_.low = std::min(areaA, areaB);
    swap_.high = std::max(areaA, areaB);
    swap_.on = o.chkSwapSep == 1 && !swap_.delimiter.empty() && swap_.low >= 1;

    splice_.levels = std::min(Number(o.txtPathSpliceLevels), kFieldMaximum);
    splice_.separator = Field(o.txtPathSpliceSeparator);
    splice_.on = o.chkPathSplice == 1 && splice_.levels >= 1;

    crop_.position = Number(o.txtEliminatePosition);
    crop_.count = Number(o.txtEliminateChars);
    crop_.fromRight = o.cboCropLR == kFromRight;
    crop_.on = o.chkCrop == 1;

    changeExtension_ = o.chkChangeExt == 1;
    newExtension_ = Field(o.txtChangeExt);

    search_ = Field(o.txtSearch);
    replacement_ = TaggedField(o.txtReplace);
    searchReplace_ = o.chkSearchReplace == 1 && !search_.empty();
    caseSensitive_ = o.chkCaseSensitive == 1;
    firstOnly_ = o.chkFirstOccur == 1;
    if (searchReplace_ && o.chkRegex == 1) {
        // Compiled once for the whole pass; the plain search is then off.
        pattern_.emplace(search_, replacement_.Parts(), caseSensitive_, firstOnly_);
        searchReplace_ = false;
    }
    underscore_ = o.chkUnderscore == 1;
    percent20_ = o.chkPercent20 == 1;
    characterReplace_ = o.chkWildcard == 1;
    searchChars_ = text::FoldCase(Field(o.txtSearchChar));
    replaceChars_ = Field(o.txtReplaceChar);

    insertStart_ = {o.chkInsertStart == 1, TaggedField(o.txtInsertStart)};
    insertMiddle_ = {o.chkInsertMiddle == 1, TaggedField(o.txtInsertMiddle)};
    insertPosition_ = Number(o.txtInsertMiddlePosition);
    insertEnd_ = {o.chkInsertEnd == 1, TaggedField(o.txtInsertEnd)};

    autonumber_.on = !AutonumberIsOff(o);
    autonumber_.digits = AutonumberDigits(o.cboAutonumber);
    autonumber_.start =
        std::clamp(Number(o.txtAutonumberStartNum), -kAutonumberLimit, kAutonumberLimit);
    autonumber_.step = std::clamp(Number(o.txtAutonumberStep), -kAutonumberLimit, kAutonumberLimit);

    padNumbers_ = o.chkUNL == 1;
    padLength_ = static_cast<int>(std::clamp<std::int64_t>(Number(o.txtUNL), 0, kFieldMaximum));
    padFromRight_ = o.cboUNLLR == kFromRight;

    caseHandling_ = ListChoice<CaseHandling>(o.cboCaseHandling, 8);
    caseRulesScope_ =
        (o.cboCaseRules >= 0 && o.cboCaseRules <= kCaseRulesBoth) ? o.cboCaseRules : kCaseRulesOff;
    textEffect_ = ListChoice<TextEffect>(o.cboTextFX, 4);
    collapseSpaces_ = o.chkForceSingleSpaces == 1;
    CollectUsedTags();
}

void NamePipeline::CollectUsedTags() {
    for (const Insert* insert : {&insertStart_, &insertMiddle_, &insertEnd_}) {
        if (insert->on) {
            usedTags_ |= insert->text.Used();
        }
    }
    if (searchReplace_ || (pattern_ && pattern_->Error().empty())) {
        usedTags_ |= replacement_.Used();
    }
}

std::string_view NamePipeline::PatternError() const {
    return pattern_ ? std::string_view(pattern_->Error()) : std::string_view();
}

NameResult NamePipeline::Process(std::string_view filename, const NameContext& context) const {
    NameResult result;
    Process(filename, context, result);
    return result;
}

void NamePipeline::Process(std::string_view filename, const NameContext& context,
                           NameResult& result) const {
    result.message.clear();
    result.shownMessage.clear();
    result.keptName = false;
    // A pass whose search cannot run renames nothing rather than half of what
    // was asked.
    if (!PatternError().empty()) {
        result.name.assign(filename);
        return;
    }
    if (usedTags_.any() && context.tags == nullptr) {
        KeepName(filename, kTagsNotRead, result);
        return;
    }
    TagMiss miss;
    // The texts of the steps below are the pipeline's own, kept from name to
    // name: once grown, a long list allocates nothing for them.
    std::u32string& whole = whole_;
    text::ToCodePointsInto(filename, whole);
    Cap(whole);
    const FolderMarkSplit split = SplitFolderMark(whole);
    std::u32string& base = base_;
    base.assign(split.name);
    std::u32string& extension = extension_;
    extension.clear();
    SplitExtension(base, extension);
    // The name the item started with; `whole` stays as it is to the end.
    const std::u32string_view startingBase = split.name.substr(0, base.size());

    if (replaceWholeName_) {
        base.clear();
    }
    if (swap_.on && swap_.high > swap_.low) {
        SwapAreas(base, swap_.delimiter, swap_.low, swap_.high, replace_.out);
    }
    if (splice_.on) {
        SplicePath(base, context.fullPath);
        Cap(base);
    }
    std::u32string& cut = cut_;
    cut.clear();
    if (crop_.on) {
        CropTextInto(base, crop_.position, crop_.count, crop_.fromRight, cut);
    }
    if (changeExtension_) {
        ChangeExtension(base, extension);
    }
    if (pattern_) {
        switch (ReplacePattern(base, extension, context, miss)) {
            case RegexReplace::Outcome::Done:
                break;
            case RegexReplace::Outcome::TooSlow:
                KeepName(filename, kPatternTooSlow, result);
                return;
            case RegexReplace::Outcome::GaveUp:
                KeepName(filename, kPatternGaveUp, result);
                return;
        }
    }
    ApplyToNameAndExtension(base, extension, context, miss);
    InsertTexts(base, context, miss);
    PlaceFolderMarks(base, startingBase);
    if (autonumber_.on) {
        NumberItem(base, context);
    }
    if (padNumbers_ && !base.empty()) {
        PadNumberRun(base, padLength_, padFromRight_);
    }
    Cap(base);
    // Every "*" takes the cropped text; with nothing cropped the marks vanish.
    PasteCutText(base, cut, replace_);
    PasteCutText(extension, cut, replace_);

    ApplyCase(base, extension);
    ApplyTextEffect(textEffect_, base);
    if (collapseSpaces_) {
        CollapseSpaces(base);
    }

    std::u32string& made = base;
    if (!periodsAreCharacters_ && !extension.empty()) {
        made.push_back(U'.');
        made += extension;
    }
    Cap(made);
    made += split.mark;
    CollapseBackslashes(made);
    text::ToUtf8Into(made, result.name);
    result.message = std::move(miss.message.english);
    result.shownMessage = std::move(miss.message.shown);
}

void NamePipeline::InsertTexts(std::u32string& base, const NameContext& context,
                               TagMiss& miss) const {
    if (insertStart_.on) {
        base.insert(0, TextFor(insertStart_.text, context, filled_, miss));
    }
    if (insertMiddle_.on && insertPosition_ >= 1 &&
        insertPosition_ <= static_cast<std::int64_t>(base.size()) + 1) {
        base.insert(static_cast<std::size_t>(insertPosition_ - 1),
                    TextFor(insertMiddle_.text, context, filled_, miss));
    }
    if (insertEnd_.on) {
        base += TextFor(insertEnd_.text, context, filled_, miss);
    }
}

// The extension is everything after the last period, unless periods are
// characters or nothing follows the period.
void NamePipeline::SplitExtension(std::u32string& base, std::u32string& extension) const {
    if (periodsAreCharacters_) {
        return;
    }
    const std::size_t period = base.rfind(U'.');
    if (period != std::u32string::npos && period + 1 < base.size()) {
        extension.assign(base, period + 1);
        base.resize(period);
    }
}

// With "Include extension" the pattern sees the whole name, so that it can
// match across the period ("(.*)\.JPE?G$"); what it makes is split again as
// a name is. Without, it sees the base name alone, as the plain search does.
RegexReplace::Outcome NamePipeline::ReplacePattern(std::u32string& base, std::u32string& extension,
                                                   const NameContext& context,
                                                   TagMiss& miss) const {
    std::vector<std::u32string> fields;
    TagMiss used;
    for (const TextPart& part : replacement_.Parts()) {
        if (part.field >= 0) {
            const auto field = static_cast<std::size_t>(part.field);
            fields.resize(std::max(fields.size(), field + 1));
            replacement_.Value(part.field, *context.tags, fields[field], used);
        }
    }
    if (includeExtension_ && !extension.empty()) {
        base.push_back(U'.');
        base += extension;
        extension.clear();
    }
    const std::u32string before = used.Missed() ? base : std::u32string();
    const RegexReplace::Outcome outcome = pattern_->Apply(base, kMaxNameLength, fields);
    if (used.Missed() && base != before) {
        Keep(miss, used);
    }
    if (includeExtension_) {
        SplitExtension(base, extension);
    }
    return outcome;
}

void NamePipeline::SplicePath(std::u32string& base, std::string_view fullPath) const {
    // The item's folder: the full path without a trailing backslash, up to and
    // including its last backslash.
    std::u32string path = text::ToCodePoints(fullPath);
    if (!path.empty() && path.back() == U'\\') {
        path.pop_back();
    }
    const std::size_t lastSlash = path.rfind(U'\\');
    path.resize(lastSlash == std::u32string::npos ? 0 : lastSlash + 1);

    std::u32string joined = path + base;
    for (std::int64_t level = 0; level < splice_.levels; ++level) {
        const std::size_t at = joined.rfind(U'\\');
        if (at == std::u32string::npos) {
            break;
        }
        joined.replace(at, 1, splice_.separator);
    }
    const std::size_t remaining = joined.rfind(U'\\');
    base = remaining == std::u32string::npos ? joined : joined.substr(remaining + 1);
    // Reaching the drive designator leaves its colon, which no name may hold.
    const std::size_t colon = base.find(U':');
    if (colon != std::u32string::npos) {
        base.erase(colon, 1);
    }
}

void NamePipeline::ChangeExtension(std::u32string& base, std::u32string& extension) const {
    const bool keepAsFolder = newExtension_ == U"/";
    const bool dropAsFolder = newExtension_ == U"\\";
    if (keepAsFolder || dropAsFolder) {
        if (!extension.empty()) {
            base = extension + U'\\' + base;
            if (dropAsFolder) {
                extension.clear();
            }
        }
        return;
    }
    extension = newExtension_;
}

// Search and replace, the two presets and the character replacement act on
// the base name and, with "Include extension", on the extension as well.
void NamePipeline::ApplyToNameAndExtension(std::u32string& base, std::u32string& extension,
                                           const NameContext& context, TagMiss& miss) const {
    TagMiss used;
    const std::u32string& replacement =
        searchReplace_ ? TextFor(replacement_, context, filled_, used) : filled_;
    const auto apply = [&](std::u32string& part) {
        if (searchReplace_) {
            // Only a value that went into the name counts as missing.
            const std::u32string before = used.Missed() ? part : std::u32string();
            ReplaceTextInPlace(part, search_, replacement, caseSensitive_, firstOnly_,
                               kMaxNameLength, replace_);
            if (used.Missed() && part != before) {
                Keep(miss, used);
            }
        }
        if (underscore_) {
            ReplaceAll(part, U'_', U' ');
        }
        if (percent20_) {
            ReplacePercent20(part, replace_);
        }
        if (characterReplace_) {
            ReplaceCharacters(part);
        }
    };
    apply(base);
    if (includeExtension_) {
        apply(extension);
    }
}

// Pair by pair, so a later pair sees what the earlier ones made.
void NamePipeline::ReplaceCharacters(std::u32string& text) const {
    for (std::size_t k = 0; k < searchChars_.size(); ++k) {
        const char32_t find = searchChars_[k];
        const bool removes = k >= replaceChars_.size();
        std::size_t out = 0;
        for (std::size_t in = 0; in < text.size(); ++in) {
            if (text::FoldCase(text[in]) != find) {
                text[out++] = text[in];
            } else if (!removes) {
                text[out++] = replaceChars_[k];
            }
        }
        text.resize(out);
    }
}

// Text typed before a "/" becomes a folder path in which the item keeps the
// base name it started with.
void NamePipeline::PlaceFolderMarks(std::u32string& base, std::u32string_view startingBase) const {
    const std::size_t lastMark = base.rfind(U'/');
    if (lastMark == std::u32string::npos) {
        return;
    }
    base.resize(lastMark + 1);
    ReplaceAll(base, U'/', U'\\');
    base += startingBase;
}

void NamePipeline::NumberItem(std::u32string& base, const NameContext& context) const {
    const std::int64_t index = std::clamp(context.sequenceIndex, -kSequenceLimit, kSequenceLimit);
    const std::int64_t count = std::clamp(context.selectionCount, -kSequenceLimit, kSequenceLimit);
    const std::int64_t number = autonumber_.start + index * autonumber_.step;
    const std::int64_t remaining = (count - index - 1) * autonumber_.step;
    InsertAutonumber(base, autonumber_.digits, number, remaining);
}

void NamePipeline::ApplyCase(std::u32string& base, std::u32string& extension) const {
    ApplyCaseHandling(caseHandling_, base, false, random_);
    if (includeExtension_) {
        ApplyCaseHandling(caseHandling_, extension, true, random_);
    }
    if (caseRules_.Empty()) {
        return;
    }
    if (caseRulesScope_ == kCaseRulesName || caseRulesScope_ == kCaseRulesBoth) {
        caseRules_.Apply(base);
    }
    if (caseRulesScope_ == kCaseRulesExtension || caseRulesScope_ == kCaseRulesBoth) {
        caseRules_.Apply(extension);
    }
}

std::string ProcessName(std::string_view filename, const RenameOptions& options,
                        const NameContext& context, const std::vector<std::string>& caseRules,
                        RandomUnit random) {
    return NamePipeline(options, caseRules, std::move(random)).Process(filename, context).name;
}

}  // namespace kestrel::engine
