#include "app/workspace.h"

#include <algorithm>
#include <exception>
#include <limits>
#include <numeric>
#include <thread>
#include <utility>

#include "app/percent_status.h"
#include "app/unexpected_error.h"
#include "engine/name_pipeline.h"
#include "exchange/export_formats.h"
#include "lists/filter_pattern.h"
#include "lists/list_order.h"
#include "lists/source_listing.h"
#include "platform/library_tag_reader.h"
#include "platform/shell.h"
#include "text/numbers.h"
#include "text/translation.h"
#include "text/unicode_text.h"

namespace kestrel::app {
namespace {

constexpr double kSecondsPerDay = 86400.0;

std::string InterruptQuestion(int cutoff) {
    // English says "items" whatever the count; a translation may have forms
    // for counts.
    // TRANSLATORS: {1} is the number of items after which the user asked to
    // be asked whether to go on.
    std::string question = text::Fill(text::TrPlural("User-specified interrupt after {1} items.",
                                                     "User-specified interrupt after {1} items.",
                                                     static_cast<std::uint64_t>(cutoff)),
                                      {std::to_string(cutoff)});
    question += "  ";
    question += text::Tr("(You may change this value in Preferences.)");
    question += "  \r\r";
    question += text::Tr("Do you wish to abort processing?");
    question += "\r\r";
    question += text::Tr("Press Cancel to prevent further warnings during this operation.");
    return question;
}

// The idle text of the message panel, as it is shown.
std::string_view ReadyText() {
    return text::Tr(kStatusText.data());
}

// Feeds the listing's progress into the status bar and asks the interrupt
// question every `cutoff` entries.
class ListingFeedback : public lists::ListingObserver {
  public:
    ListingFeedback(Ui& ui, const settings::Preferences& preferences, Answer& answer)
        : ui_(ui),
          cutoff_(std::clamp(preferences.maxListCutoff, settings::kMinMaxListCutoff,
                             settings::kMaxMaxListCutoff)),
          interruptOn_(preferences.maxList == 1),
          answer_(answer),
          // Looked up once a listing rather than once an entry.
          // TRANSLATORS: {1} is the number of the entry being read.
          reading_(text::Tr("Reading item {1}...")) {}

    int Cutoff() const { return cutoff_; }

    void EntryStarted(int number) override {
        ui_.SetProgress(Progress::Listing, number % cutoff_);
        // Only every other pair of entries rewrites the text: painting dominates otherwise.
        if ((number & 2) != 0) {
            text::FormatCountInto(number, count_);
            const std::string_view values[] = {count_};
            text::FillInto(reading_, values, status_);
            ui_.SetStatus(StatusPanel::Message, status_);
        }
    }

    bool ContinueAfter(int count) override {
        if (interruptOn_ && answer_ != Answer::Cancel && count % cutoff_ == 0) {
            answer_ = ui_.Ask(InterruptQuestion(cutoff_), kProgramTitle, Buttons::YesNoCancel,
                              Icon::Question);
        }
        return answer_ != Answer::Yes;
    }

  private:
    Ui& ui_;
    int cutoff_;
    bool interruptOn_;
    Answer& answer_;
    std::string reading_;
    // Rewritten for every other pair of entries, so kept from one to the next.
    std::string count_;
    std::string status_;
};

// The progress of reading tags, and the listing's interrupt question every
// `cutoff` files.
class TagFeedback : public lists::TagReadObserver {
  public:
    TagFeedback(Ui& ui, const settings::Preferences& preferences)
        : ui_(ui),
          // TRANSLATORS: {1} is a percentage ("37%").
          status_(ui, text::Tr("Reading tags: {1} complete.")),
          cutoff_(std::clamp(preferences.maxListCutoff, settings::kMinMaxListCutoff,
                             settings::kMaxMaxListCutoff)),
          interruptOn_(preferences.maxList == 1) {}

    void Started(int total) override {
        total_ = total;
        ui_.ShowProgress(Progress::Preview, total);
        ui_.SetProgress(Progress::Preview, 0);
        status_.Show(0, static_cast<std::size_t>(total));
    }

    void Progress(int done) override {
        ui_.SetProgress(Progress::Preview, done);
        // Only every other pair of files rewrites the text: painting dominates otherwise.
        if ((done & 2) != 0) {
            status_.Show(static_cast<std::size_t>(done), static_cast<std::size_t>(total_));
        }
    }

    bool ContinueAfter(int done) override {
        Progress(done);
        if (interruptOn_ && answer_ != Answer::Cancel && done < total_) {
            answer_ = ui_.Ask(InterruptQuestion(cutoff_), kProgramTitle, Buttons::YesNoCancel,
                              Icon::Question);
        }
        return answer_ != Answer::Yes;
    }

    // Without the question, the files are read in one go.
    int QuestionStep() const override {
        return interruptOn_ ? cutoff_ : std::numeric_limits<int>::max();
    }

  private:
    Ui& ui_;
    PercentStatus status_;
    int cutoff_;
    bool interruptOn_;
    int total_ = 0;
    Answer answer_ = Answer::No;
};

// The files of the listed rows, as the tag cache asks for them.
class ListedFiles : public lists::RowFiles {
  public:
    ListedFiles(const std::vector<lists::ListEntry>& rows,
                const std::vector<std::string>& folderTable, std::string_view sourceDir,
                platform::FileSystem& fileSystem)
        : rows_(rows), folderTable_(folderTable), sourceDir_(sourceDir), fileSystem_(fileSystem) {}

    std::string PathOf(std::size_t row) const override {
        const lists::ListEntry& entry = rows_[row];
        return std::string(lists::EntryFolder(entry, folderTable_, sourceDir_)) +
               std::string(lists::EntryFilename(entry.text));
    }
    std::string HostPathOf(const std::string& path) const override {
        return fileSystem_.HostPathOf(path);
    }

  private:
    const std::vector<lists::ListEntry>& rows_;
    const std::vector<std::string>& folderTable_;
    std::string_view sourceDir_;
    platform::FileSystem& fileSystem_;
};

class PreviewFeedback : public lists::PreviewObserver {
  public:
    explicit PreviewFeedback(Ui& ui)
        // TRANSLATORS: {1} is a percentage ("37%").
        : ui_(ui), status_(ui, text::Tr("Refreshing preview list: {1} complete.")) {}

    void RowStarted(int row, int rowCount) override {
        if ((row & 2) != 0) {
            status_.Show(static_cast<std::size_t>(row), static_cast<std::size_t>(rowCount));
        }
        ui_.SetProgress(Progress::Preview, row);
    }

  private:
    Ui& ui_;
    PercentStatus status_;
};

}  // namespace

Workspace::Workspace(platform::FileSystem& fileSystem, Ui& ui, const platform::Clock& clock,
                     engine::RandomUnit random)
    : fileSystem_(fileSystem),
      ui_(ui),
      clock_(clock),
      random_(std::move(random)),
      ownTagReader_(std::make_unique<platform::LibraryTagReader>()),
      tagReader_(ownTagReader_.get()) {}

void Workspace::SetTagReader(const platform::TagReader& reader) {
    tagReader_ = &reader;
    tagCache_ = {};
}

std::array<std::string, engine::kTagCount> Workspace::RowTagTexts(std::size_t row) {
    std::array<std::string, engine::kTagCount> texts;
    if (row >= sourceRows_.size()) {
        return texts;
    }
    constexpr unsigned kEverySource =
        platform::kFileTags | platform::kPhotoTags | platform::kTakenTag | platform::kMusicTags;
    const ListedFiles files(sourceRows_, folderTable_, txtSourceDir, fileSystem_);
    const engine::TagValues values = lists::ValuesOf(
        tagReader_->Read(files.HostPathOf(files.PathOf(row)), kEverySource), kEverySource);
    for (const engine::TagEntry& entry : values.entries) {
        texts[static_cast<std::size_t>(entry.tag)] = engine::DefaultTagText(entry);
    }
    return texts;
}

std::vector<const engine::TagValues*> Workspace::ReadRowTags(const engine::NamePipeline& pipeline) {
    const unsigned sources = lists::SourcesFor(pipeline.UsedTags());
    if (sources == 0) {
        return {};
    }
    // Only the rows the preview makes names for are read.
    std::vector<std::size_t> rows;
    for (std::size_t row = 0; row < sourceRows_.size(); ++row) {
        if (sourceRows_[row].selected) {
            rows.push_back(row);
        }
    }
    TagFeedback feedback(ui_, preferences);
    tagCache_.Fill(*tagReader_, rows,
                   ListedFiles(sourceRows_, folderTable_, txtSourceDir, fileSystem_), sources,
                   feedback);
    std::vector<const engine::TagValues*> values(sourceRows_.size(), nullptr);
    for (const std::size_t row : rows) {
        values[row] = tagCache_.Find(row, sources);
    }
    return values;
}

void Workspace::SetSelected(std::size_t row, bool selected) {
    if (row < sourceRows_.size()) {
        sourceRows_[row].selected = selected;
    }
}

void Workspace::SetSourceText(std::size_t row, std::string text) {
    if (row < sourceRows_.size()) {
        sourceRows_[row].text = std::move(text);
        tagCache_.ForgetRow(row);
    }
}

void Workspace::ListGivenEntries(std::vector<std::string> paths) {
    given_ = lists::GiveEntries(std::move(paths));
    txtSourceDir = given_->workingFolder;
    txtDestDir = given_->workingFolder;
}

void Workspace::SelectAll(bool selected) {
    for (lists::ListEntry& entry : sourceRows_) {
        entry.selected = selected;
    }
}

void Workspace::DisableButtons() {
    buttons_.DisableAll();
}

void Workspace::EnableButtons() {
    buttons_.EnableAll(UndoLevel() > 0);
}

std::string Workspace::CheckFilterField(std::string_view filterText) {
    return lists::CheckFilterBrackets(filterText)
               ? std::string()
               : std::string(text::Tr(lists::kFilterBracketMessage.data()));
}

void Workspace::RefreshSourceList() {
    try {
        ListSource();
    } catch (const std::exception& error) {
        ReportUnexpectedError(error, "[" + Paths().Path(txtSourceDir) + "]");
    }
}

void Workspace::ListSource() {
    area = 20;
    if (ui_.SplashShowing()) {
        ui_.SetPointer(Pointer::Busy);
        ui_.SetSplashStatus(text::Tr("Reading filenames from working folder"));
    } else {
        ui_.SetPointer(Pointer::ArrowHourglass);
    }
    DisableButtons();
    ui_.SetStatus(StatusPanel::Dest, "");
    interruptAnswer_ = Answer::No;
    const bool hideLists = preferences.hideLists == 1;
    if (hideLists) {
        ui_.SetListsVisible(false);
    }

    if ((preferences.autoRefresh == 1 || updateFlag) && !busyFlag) {
        preview_ = {};
        rowTags_.clear();
        previewWarning_.clear();
        sourceRows_.clear();
        ListingFeedback feedback(ui_, preferences, interruptAnswer_);
        ui_.ShowProgress(Progress::Listing, feedback.Cutoff());
        // Another working folder (typed, browsed, "Back up one level") ends
        // the listing of given entries.
        if (!ListsGivenEntries()) {
            given_.reset();
        }
        lists::SourceListing listing =
            given_ ? lists::ReadGivenEntries(fileSystem_, options, *given_, feedback)
                   : lists::ReadSourceList(fileSystem_, options, txtSourceDir, feedback);
        sourceRows_ = std::move(listing.rows);
        folderTable_ = std::move(listing.folderTable);
        listedNames_ = std::move(listing.folderNames);
        stampsRead_ = listing.stampsRead;
        tagCache_.NewListing(sourceRows_.size());
        if (text::CodePointCount(listing.widestText) > text::CodePointCount(widestText_)) {
            widestText_ = std::move(listing.widestText);
        }
        ui_.HideProgress(Progress::Listing);

        const bool full = listing.rowLimitReached || listing.folderLimitReached;
        const auto count = static_cast<std::int64_t>(sourceRows_.size());
        ui_.SetStatus(StatusPanel::Source,
                      full ? std::string(text::Tr(
                                 "Warning: maximum of 32,767 items reached; remainder ignored."))
                           // TRANSLATORS: {1} is how many entries the list shows; it is
                           // empty for none (" items listed.").
                           : text::Fill(text::TrPlural("{1} item listed.", "{1} items listed.",
                                                       static_cast<std::uint64_t>(count)),
                                        {text::FormatCount(count)}));
        ui_.SetStatus(StatusPanel::Message, ReadyText());
        // The listing sorted by everything but the date taken, which is read
        // from the files themselves.
        if (options.cboSort == engine::kSortByTaken) {
            OrderRows();
        }
        RefreshTargetList();
    }

    if (hideLists) {
        ui_.SetListsVisible(true);
    }
    EnableButtons();
    ui_.SetPointer(Pointer::Normal);
}

void Workspace::SortSourceList() {
    if (busyFlag) {
        return;
    }
    if (lists::NeedsStamps(options.cboSort) && !stampsRead_) {
        // The user asked for this order: it is read even with "Auto refresh" off.
        const bool wasForced = std::exchange(updateFlag, true);
        RefreshSourceList();
        updateFlag = wasForced;
        return;
    }
    try {
        area = 20;
        // Reading the dates taken may take a while.
        ui_.SetPointer(Pointer::ArrowHourglass);
        DisableButtons();
        OrderRows();
        EnableButtons();
        ui_.SetPointer(Pointer::Normal);
    } catch (const std::exception& error) {
        ReportUnexpectedError(error, "[" + Paths().Path(txtSourceDir) + "]");
        return;
    }
    RefreshTargetList();
}

void Workspace::OrderRows() {
    const std::vector<std::string> taken =
        options.cboSort == engine::kSortByTaken ? TakenDates() : std::vector<std::string>();
    const std::vector<std::uint32_t> from =
        lists::SortRows(sourceRows_, options.cboSort, options.chkSortDescending == 1, taken);
    tagCache_.Reorder(from);
}

std::vector<std::string> Workspace::TakenDates() {
    constexpr unsigned kSources = platform::kTakenTag | platform::kFileTags;
    std::vector<std::size_t> rows(sourceRows_.size());
    std::iota(rows.begin(), rows.end(), std::size_t{0});
    TagFeedback feedback(ui_, preferences);
    tagCache_.Fill(*tagReader_, rows,
                   ListedFiles(sourceRows_, folderTable_, txtSourceDir, fileSystem_), kSources,
                   feedback);
    ui_.HideProgress(Progress::Preview);
    std::vector<std::string> dates(sourceRows_.size());
    for (std::size_t row = 0; row < dates.size(); ++row) {
        const engine::TagValues* values = tagCache_.Find(row, kSources);
        if (values == nullptr) {
            continue;  // not read: the user stopped the reading
        }
        // Both are written "yyyy-MM-dd HH:mm:ss", so they compare as dates.
        for (const engine::Tag tag : {engine::Tag::Taken, engine::Tag::Modified}) {
            const auto found =
                std::find_if(values->entries.begin(), values->entries.end(),
                             [tag](const engine::TagEntry& e) { return e.tag == tag; });
            if (found != values->entries.end() && !found->value.empty()) {
                dates[row] = found->value;
                break;
            }
        }
    }
    return dates;
}

Workspace::PreviewBasis Workspace::CurrentPreviewBasis() const {
    return {options, txtSourceDir, txtDestDir, caseRules.ActiveRuleTexts()};
}

std::vector<std::string> Workspace::EnglishErrorMessages() const {
    std::vector<std::string> messages(preview_.messages.size());
    for (std::size_t row = 0; row < messages.size(); ++row) {
        messages[row] = preview_.EnglishMessage(row);
    }
    return messages;
}

void Workspace::RefreshTargetList() {
    try {
        ComputeTargets();
    } catch (const std::exception& error) {
        ReportUnexpectedError(error, "[" + Paths().Path(txtSourceDir) + "]");
    }
}

void Workspace::ComputeTargets() {
    area = 50;
    if (operationStartTime < 0) {
        operationStartTime = Now();
    }
    // A suppressed refresh leaves the lists, and the pointer, as they are.
    if (busyFlag) {
        return;
    }
    if (ui_.SplashShowing()) {
        ui_.SetPointer(Pointer::Busy);
        ui_.SetSplashStatus(text::Tr("Applying changes to target list"));
    } else {
        ui_.SetPointer(Pointer::ArrowHourglass);
    }
    DisableButtons();
    previewBasis_ = CurrentPreviewBasis();
    const engine::NamePipeline pipeline(options, previewBasis_.caseRules, random_);
    rowTags_ = ReadRowTags(pipeline);

    const int rowCount = static_cast<int>(sourceRows_.size());
    ui_.ShowProgress(Progress::Preview, rowCount + 1);
    ui_.SetProgress(Progress::Preview, 0);
    // A long list is named on two threads when there are two cores.
    std::optional<engine::NamePipeline> second;
    if (sourceRows_.size() >= lists::kRowsForTwoThreads &&
        std::thread::hardware_concurrency() > 1) {
        second.emplace(options, previewBasis_.caseRules, random_);
    }
    lists::PreviewInput input{
        sourceRows_,
        folderTable_,
        txtSourceDir,
        txtDestDir,
        options.cboPathDisplay,
        {preferences.errorChecking, preferences.maxLengthCheck == 1, preferences.maxLength},
        &listedNames_,
        options.chkCopy == 1,
        rowTags_,
        options.chkNumberPerFolder == 1};
    input.secondPipeline = second ? &*second : nullptr;
    PreviewFeedback feedback(ui_);
    lists::ComputePreview(fileSystem_, pipeline, input, feedback, preview_);
    // What matters most comes first: a status panel shows only the start of
    // a long text.
    const std::string_view patternError = pipeline.PatternError();
    previewWarning_ = patternError.empty() ? std::string()
                                           : text::Tr("Names are left unchanged.") +
                                                 (" " + std::string(patternError));
    area = 55;
    if (text::CodePointCount(preview_.widestName) > text::CodePointCount(widestText_)) {
        widestText_ = preview_.widestName;
    }

    ui_.HideProgress(Progress::Preview);
    double elapsed = Now() - operationStartTime;
    if (elapsed < 0) {
        elapsed += kSecondsPerDay;  // the clock passed midnight
    }
    operationStartTime = -1;
    ReportSummary(elapsed);
    ui_.SetStatus(StatusPanel::Message, ReadyText());
    EnableButtons();
    ui_.SetPointer(Pointer::Normal);
}

void Workspace::ReportSummary(double elapsedSeconds) {
    if (!previewWarning_.empty()) {
        PlayIfDue(settings::SoundEvent::OperationCompleteWithWarnings, elapsedSeconds);
        ui_.SetStatus(StatusPanel::Dest, previewWarning_);
        return;
    }
    const int changed = preview_.renameCounter;
    const int errors = preview_.errorCount;
    if (errors > 0) {
        PlayIfDue(settings::SoundEvent::OperationCompleteWithWarnings, elapsedSeconds);
        const std::string items =
            // TRANSLATORS: {1} is how many items are to be changed; empty for none.
            text::Fill(text::TrPlural("{1} item to be changed.", "{1} items to be changed.",
                                      static_cast<std::uint64_t>(changed)),
                       {std::to_string(changed)});
        ui_.SetStatus(StatusPanel::Dest,
                      // TRANSLATORS: {1} is how many rows are flagged; {2} is the sentence
                      // "N items to be changed." as translated on its own.
                      text::Fill(text::TrPlural("Warning: {1} possible error in {2}",
                                                "Warning: {1} possible errors in {2}",
                                                static_cast<std::uint64_t>(errors)),
                                 {text::FormatCount(errors), items}));
        return;
    }
    ui_.SetStatus(StatusPanel::Dest,
                  text::Fill(text::TrPlural("{1} item to be changed.", "{1} items to be changed.",
                                            static_cast<std::uint64_t>(changed)),
                             {text::FormatCount(changed)}));
    PlayIfDue(settings::SoundEvent::OperationComplete, elapsedSeconds);
}

void Workspace::PlayIfDue(settings::SoundEvent event, double elapsedSeconds) {
    if (preferences.soundsMuted == 0 && elapsedSeconds >= preferences.soundsThreshold) {
        ui_.PlaySound(sounds.FileFor(event));
    }
}

void Workspace::ReportUnexpectedError(const std::exception& error, std::string_view data) {
    const std::string report = UnexpectedErrorText(area, DescribeException(error), data);
    ui_.SetPointer(Pointer::Normal);
    if (ui_.Ask(report, text::Tr(kUnexpectedErrorTitle.data()), Buttons::YesNo, Icon::Critical) ==
        Answer::Yes) {
        platform::OpenWithDesktop(std::string(exchange::kMakerWebAddress) +
                                  "/kestrel_support.html");
    }
    if (closeAll_) {
        closeAll_();
    }
}

}  // namespace kestrel::app
