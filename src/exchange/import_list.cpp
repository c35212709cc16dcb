#include "exchange/import_list.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <utility>

#include "text/program_path.h"
#include "text/translation.h"
#include "text/windows1252.h"

namespace kestrel::exchange {
namespace {

// TRANSLATORS: an entry of the delimiter boxes; {1} is the code of the
// character (0 to 255).
constexpr const char* kCustomText = N_("Custom Char ({1})");

// Blanks, line ends and the other control characters: what a list's line
// structure leaves behind a name, and what no real name ends with.
bool IsBlankOrControl(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte <= 0x20 || byte == 0x7F;
}

bool OnlyBlanks(std::string_view text) {
    return std::all_of(text.begin(), text.end(), IsBlankOrControl);
}

std::string Quoted(std::string_view text) {
    return "\"" + std::string(text) + "\"";
}

// A drive path ('C:\a.txt') or a host path ('/home/me/a.txt') stands for
// itself; anything else is relative to the folder box of its side.
bool IsAbsolute(std::string_view name) {
    return name.find(':') != std::string_view::npos || name.starts_with('/');
}

std::string FolderText(std::string_view folder) {
    std::string out(folder);
    if (!out.empty() && !out.ends_with('\\') && !out.ends_with('/')) {
        out.push_back('\\');
    }
    return out;
}

std::string Joined(const std::string& folder, std::string_view name) {
    return IsAbsolute(name) ? std::string(name) : folder + std::string(name);
}

// The same rule as the commit's: a new name no entry may have on the home
// desktop is refused before anything happens. Control characters (a CR left
// by a one-character line delimiter) are among them.
bool AcceptableNewName(std::string_view name) {
    if (std::any_of(name.begin(), name.end(),
                    [](char c) { return static_cast<unsigned char>(c) < 0x20; })) {
        return false;
    }
    std::string relative(name);
    if (name.starts_with('/')) {
        relative.erase(0, 1);
        std::replace(relative.begin(), relative.end(), '/', '\\');
    } else if (name.find(':') != std::string_view::npos) {
        if (name.size() < 3 || name[1] != ':' || name[2] != '\\') {
            return false;
        }
        relative.erase(0, 3);
    }
    return text::IsAcceptableNewName(relative);
}

struct Pair {
    std::string source;
    std::string target;
};

// Walks the list data pair by pair. Positions move forward through the text
// rather than cutting it, so a list of thousands of names is read once.
class PairReader {
  public:
    PairReader(std::string a, std::string b, std::string d1, std::string d2)
        : a_(std::move(a)), b_(std::move(b)), d1_(std::move(d1)), d2_(std::move(d2)) {}

    /// More than blanks and line ends left of the source data, so that a
    /// short last pair ("a\tb") is still read and trailing blank lines are not.
    bool MoreSourceData() const { return !OnlyBlanks(std::string_view(a_).substr(aPos_)); }

    Pair Next() {
        // Once the target data is used up, targets come from the source data.
        const bool targetsFromSource = bPos_ >= b_.size();
        std::size_t sourceEnd = a_.find(d1_, aPos_);
        // A line of a one-file list that ends before its source delimiter has
        // no target: its text is the source name (none for an empty line, which
        // ends the list), rather than the start of a name running into the
        // next line.
        bool lineEnded = false;
        if (targetsFromSource && d2_ != d1_) {
            const std::size_t lineEnd = a_.find(d2_, aPos_);
            if (lineEnd < sourceEnd) {
                sourceEnd = lineEnd;
                lineEnded = true;
            }
        }
        Pair pair;
        pair.source = Cut(a_, aPos_, sourceEnd, lineEnded ? d2_ : d1_);
        if (!lineEnded) {
            std::string& data = targetsFromSource ? a_ : b_;
            std::size_t& pos = targetsFromSource ? aPos_ : bPos_;
            pair.target = Cut(data, pos, data.find(d2_, pos), d2_);
        }
        return pair;
    }

  private:
    // The text from `pos` to `end` (the end of the data when the last name has
    // no delimiter after it); `pos` moves past the delimiter.
    static std::string Cut(const std::string& data, std::size_t& pos, std::size_t end,
                           std::string_view delimiter) {
        const std::size_t stop = std::min(end, data.size());
        std::string name = data.substr(pos, stop - pos);
        pos =
            end == std::string::npos ? data.size() : std::min(stop + delimiter.size(), data.size());
        return name;
    }

    std::string a_;
    std::string b_;
    std::string d1_;
    std::string d2_;
    std::size_t aPos_ = 0;
    std::size_t bPos_ = 0;
};

enum class ListSide { Source, Target };

// Reads one list file as program text; false, with the reason reported, when
// it cannot serve as a list.
bool ReadList(platform::FileSystem& fileSystem, std::string_view path, ListSide side,
              bool zeroIsDelimiter, const StatusSink& status, std::string& text) {
    std::string bytes;
    // Whole sentences for each side, so that a translation words each as it must.
    const bool source = side == ListSide::Source;
    const char* problem = nullptr;
    if (path.empty() || !fileSystem.ReadFileUpTo(path, kMaxImportFileBytes, bytes).Ok()) {
        problem = source ? text::Tr("Source file not found.") : text::Tr("Target file not found.");
    } else if (bytes.size() > kMaxImportFileBytes) {
        problem = source
                      ? text::Tr("Source file is larger than 8 MB, too large for a list of names.")
                      : text::Tr("Target file is larger than 8 MB, too large for a list of names.");
    } else if (!zeroIsDelimiter && bytes.find('\0') != std::string::npos) {
        if (source) {
            problem = text::Tr(
                // TRANSLATORS: "Custom Char (0)" is the delimiter boxes' entry for the
                // character of code 0, as the boxes show it.
                "Source file is not a text file (it holds NUL characters; "
                "choose Custom Char (0) if they separate the names).");
        } else {
            problem = text::Tr(
                // TRANSLATORS: "Custom Char (0)" is the delimiter boxes' entry for the
                // character of code 0, as the boxes show it.
                "Target file is not a text file (it holds NUL characters; "
                "choose Custom Char (0) if they separate the names).");
        }
    }
    if (problem != nullptr) {
        status(problem);
        status(" ");
        return false;
    }
    // Lists written on this desktop are UTF-8; lists from the old one are
    // Windows-1252, which any byte sequence decodes as.
    text = text::DecodeTextLine(text::SkipByteOrderMark(bytes));
    return true;
}

// The entry of the delimiter boxes a text is, in English or as shown.
std::optional<std::size_t> DelimiterItem(std::string_view boxText) {
    for (std::size_t i = 0; i < kDelimiterItems.size(); ++i) {
        if (boxText == kDelimiterItems[i] || boxText == text::Tr(kDelimiterItems[i].data())) {
            return i;
        }
    }
    return std::nullopt;
}

bool IsReturn(std::string_view boxText) {
    return DelimiterItem(boxText) == 2;
}

// The code in "Custom Char (N)" as `pattern` words it; none when the text is
// not worded so.
std::optional<int> CustomCodeIn(std::string_view boxText, std::string_view pattern) {
    const std::size_t place = pattern.find("{1}");
    if (place == std::string_view::npos) {
        return std::nullopt;
    }
    const std::string_view prefix = pattern.substr(0, place);
    const std::string_view suffix = pattern.substr(place + 3);
    if (!boxText.starts_with(prefix)) {
        return std::nullopt;
    }
    const std::string_view digits = boxText.substr(prefix.size());
    const std::size_t end = suffix.empty() ? digits.size() : digits.find(suffix.substr(0, 1));
    return CustomDelimiterCode(digits.substr(0, std::min(end, digits.size())));
}

// CR LF and LF become CR, the line end the "Return" delimiter stands for.
std::string LineEndsAsReturns(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            continue;  // the LF after it becomes the CR
        }
        out.push_back(text[i] == '\n' ? '\r' : text[i]);
    }
    return out;
}

// Steps 1 to 4 shared by the sample and the import: the delimiters and the
// data of both files. Nullopt, with the reason reported, when they cannot be had.
std::optional<PairReader> OpenLists(platform::FileSystem& fileSystem, const ImportRequest& request,
                                    const StatusSink& status) {
    std::string d1 = DelimiterOf(request.firstDelimiter);
    std::string d2 = DelimiterOf(request.secondDelimiter);
    if (d1.empty()) {
        // TRANSLATORS: "After source name" is the caption of a delimiter box.
        status(text::Tr("Enter a delimiter in \"After source name\"."));
        status(" ");
        return std::nullopt;
    }
    if (d2.empty()) {
        // TRANSLATORS: "After target name" is the caption of a delimiter box.
        status(text::Tr("Enter a delimiter in \"After target name\"."));
        status(" ");
        return std::nullopt;
    }
    const bool zeroIsDelimiter =
        d1.find('\0') != std::string::npos || d2.find('\0') != std::string::npos;
    std::string a;
    std::string b;
    if (!ReadList(fileSystem, request.sourceList, ListSide::Source, zeroIsDelimiter, status, a)) {
        return std::nullopt;
    }
    if (!request.targetList.empty() &&
        !ReadList(fileSystem, request.targetList, ListSide::Target, zeroIsDelimiter, status, b)) {
        return std::nullopt;
    }
    // "Return" is a line end of any kind: lists come from every desktop.
    if (IsReturn(request.firstDelimiter) || IsReturn(request.secondDelimiter)) {
        for (std::string* data : {&a, &b}) {
            *data = LineEndsAsReturns(*data);
        }
        for (std::string* delimiter : {&d1, &d2}) {
            *delimiter = LineEndsAsReturns(*delimiter);
        }
    }
    return PairReader(std::move(a), std::move(b), std::move(d1), std::move(d2));
}

// Hands each pair to `handle` until a pair whose source name is empty (or only
// blanks), the end of the source data, or `limit` pairs; true when the limit
// stopped it with pairs left.
template <typename Handle>
bool ForEachPair(PairReader& reader, int limit, Handle handle) {
    for (int count = 0; reader.MoreSourceData(); ++count) {
        const Pair pair = reader.Next();
        if (OnlyBlanks(pair.source)) {
            return false;
        }
        if (count == limit) {
            return true;
        }
        handle(pair);
    }
    return false;
}

}  // namespace

std::string DelimiterOf(std::string_view boxText) {
    static constexpr std::array<std::string_view, 4> kDelimiters = {"\t", ",", "\r", "\r\n"};
    if (const std::optional<std::size_t> item = DelimiterItem(boxText)) {
        return std::string(kDelimiters[*item]);
    }
    for (const std::string_view pattern :
         {std::string_view(kCustomText), std::string_view(text::Tr(kCustomText))}) {
        if (const std::optional<int> code = CustomCodeIn(boxText, pattern)) {
            return text::DecodeWindows1252(std::string(1, static_cast<char>(*code)));
        }
    }
    return std::string(boxText);
}

std::optional<int> CustomDelimiterCode(std::string_view answer) {
    while (!answer.empty() && answer.front() == ' ') {
        answer.remove_prefix(1);
    }
    while (!answer.empty() && answer.back() == ' ') {
        answer.remove_suffix(1);
    }
    if (answer.empty() || answer.size() > 3 ||
        !std::all_of(answer.begin(), answer.end(),
                     [](char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; })) {
        return std::nullopt;
    }
    const int code = std::stoi(std::string(answer));
    return code <= 255 ? std::optional<int>(code) : std::nullopt;
}

std::string CustomDelimiterText(int code) {
    return text::Fill(text::Tr(kCustomText), {std::to_string(code)});
}

void PreviewImport(platform::FileSystem& fileSystem, const ImportRequest& request,
                   const StatusSink& status) {
    std::optional<PairReader> reader = OpenLists(fileSystem, request, status);
    if (!reader) {
        return;
    }
    status(text::Tr("Import data sample:"));
    ForEachPair(*reader, kImportSampleSize, [&status](const Pair& pair) {
        status(
            // TRANSLATORS: {1} and {2} are the old and the new name, in quotes.
            text::Fill(text::Tr("Rename {1} to {2}"), {Quoted(pair.source), Quoted(pair.target)}));
    });
    status(" ");
}

ImportCounts RunImport(platform::FileSystem& fileSystem, const ImportRequest& request,
                       const StatusSink& status) {
    ImportCounts counts;
    std::optional<PairReader> reader = OpenLists(fileSystem, request, status);
    if (!reader) {
        return counts;
    }
    status(text::Tr("Processing import data."));
    status(" ");
    const std::string sourceFolder = FolderText(request.sourceFolder);
    const std::string targetFolder = FolderText(request.targetFolder);
    const bool capped = ForEachPair(*reader, kMaxImportPairs, [&](const Pair& pair) {
        const std::string sourcePath = Joined(sourceFolder, pair.source);
        const std::string targetPath = Joined(targetFolder, pair.target);
        std::string tried = sourcePath;
        platform::FileError error = platform::FileError::Make(platform::kBadFileName);
        if (AcceptableNewName(pair.target)) {
            error = fileSystem.Move(tried, targetPath);
            // Stray blanks or a CR behind a name are dropped one by one; a
            // letter or digit never is, so another file is never renamed.
            while (error.number == platform::kFileNotFound && tried != sourceFolder &&
                   !tried.empty() && IsBlankOrControl(tried.back())) {
                tried.pop_back();
                error = fileSystem.Move(tried, targetPath);
            }
        }
        const std::string number = std::to_string(counts.successes + counts.errors + 1);
        if (error.Ok()) {
            ++counts.successes;
            // TRANSLATORS: {1} is the pair's number, {2} and {3} the old and the
            // new path, in quotes.
            status(text::Fill(text::Tr("({1}) Successfully renamed {2} to {3}"),
                              {number, Quoted(tried), Quoted(targetPath)}));
        } else {
            ++counts.errors;
            // TRANSLATORS: {1} is the pair's number, {2} the error's number, {3}
            // its description, {4} and {5} the old and the new path, in quotes.
            status(text::Fill(text::Tr("({1}) ERROR: {2}:{3} - {4} to {5}"),
                              {number, std::to_string(error.number), error.description,
                               Quoted(sourcePath), Quoted(targetPath)}));
        }
    });
    if (capped) {
        status(text::Fill(
            text::TrPlural(
                // TRANSLATORS: {1} is the most pairs one import handles.
                "Stopped after {1} entries, the most one import handles; the rest of the list "
                "was not read.",
                "Stopped after {1} entries, the most one import handles; the rest of the list "
                "was not read.",
                kMaxImportPairs),
            {std::to_string(kMaxImportPairs)}));
    }
    status(" ");
    // English says "entries" and "errors" whatever the counts; a translation
    // may have forms for counts.
    const auto found = static_cast<std::uint64_t>(counts.successes + counts.errors);
    // TRANSLATORS: {1} is how many pairs of names the lists held.
    status(text::Fill(text::TrPlural("{1} entries found.", "{1} entries found.", found),
                      {std::to_string(found)}) +
           "  " +
           // TRANSLATORS: {1} is how many entries were renamed, {2} how many
           // were not; the form follows {2}.
           text::Fill(text::TrPlural("{1} successfully renamed, {2} errors.",
                                     "{1} successfully renamed, {2} errors.",
                                     static_cast<std::uint64_t>(counts.errors)),
                      {std::to_string(counts.successes), std::to_string(counts.errors)}));
    status(" ");
    return counts;
}

}  // namespace kestrel::exchange
