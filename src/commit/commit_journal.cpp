#include "commit/commit_journal.h"

#include <array>
#include <charconv>
#include <cstdint>
#include <utility>

namespace kestrel::commit {
namespace {

// Each record is "<length>:<payload> <checksum>\n": its fields separated by
// zero bytes, which no path holds, and an FNV-1a checksum of the payload in
// eight hex digits, so that a record a crash cut short or filled with zeros
// is never taken for a whole one.
constexpr std::string_view kMagic = "kestrel journal";
constexpr std::string_view kFormat = "1";
constexpr std::string_view kDrive = "drive";
constexpr std::string_view kStep = "step";
constexpr std::string_view kWithdraw = "withdraw";
constexpr std::array<std::string_view, 4> kKindWords = {"rename", "move", "copy", "tree"};
constexpr std::array<std::string_view, 2> kOperationWords = {"commit", "undo"};
constexpr char kHex[] = "0123456789abcdef";

std::uint32_t Checksum(std::string_view bytes) {
    std::uint32_t hash = 2166136261U;
    for (const char c : bytes) {
        hash = (hash ^ static_cast<unsigned char>(c)) * 16777619U;
    }
    return hash;
}

void AppendRecord(std::string& out, std::initializer_list<std::string_view> fields) {
    std::size_t length = fields.size() - 1;
    for (const std::string_view field : fields) {
        length += field.size();
    }
    out += std::to_string(length);
    out += ':';
    const std::size_t payloadStart = out.size();
    bool first = true;
    for (const std::string_view field : fields) {
        if (!first) {
            out += '\0';
        }
        first = false;
        out += field;
    }
    const std::uint32_t sum = Checksum(std::string_view(out).substr(payloadStart));
    out += ' ';
    for (int shift = 28; shift >= 0; shift -= 4) {
        out += kHex[(sum >> shift) & 0xF];
    }
    out += '\n';
}

template <typename Number>
std::optional<Number> ParseNumber(std::string_view text) {
    Number value{};
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || text.empty()) {
        return std::nullopt;
    }
    return value;
}

template <std::size_t N>
std::optional<std::size_t> IndexOf(const std::array<std::string_view, N>& words,
                                   std::string_view word) {
    for (std::size_t i = 0; i < N; ++i) {
        if (words[i] == word) {
            return i;
        }
    }
    return std::nullopt;
}

// " 1a2b3c4d\n"
std::optional<std::uint32_t> ParseChecksum(std::string_view tail) {
    if (tail.front() != ' ' || tail.back() != '\n') {
        return std::nullopt;
    }
    std::uint32_t value = 0;
    const char* last = tail.data() + tail.size() - 1;
    const auto [end, error] = std::from_chars(tail.data() + 1, last, value, 16);
    return error == std::errc() && end == last ? std::optional(value) : std::nullopt;
}

// Takes the next whole record off `bytes`; nullopt at the end or at damage.
std::optional<std::vector<std::string_view>> NextRecord(std::string_view& bytes) {
    const std::size_t colon = bytes.find(':');
    if (colon == std::string_view::npos || colon > 10) {
        return std::nullopt;
    }
    const auto length = ParseNumber<std::size_t>(bytes.substr(0, colon));
    constexpr std::size_t kTail = 1 + 8 + 1;  // " " checksum "\n"
    if (!length || bytes.size() - colon - 1 < *length + kTail) {
        return std::nullopt;
    }
    const std::string_view payload = bytes.substr(colon + 1, *length);
    const std::string_view tail = bytes.substr(colon + 1 + *length, kTail);
    const auto sum = ParseChecksum(tail);
    if (!sum || *sum != Checksum(payload)) {
        return std::nullopt;
    }
    bytes.remove_prefix(colon + 1 + *length + kTail);
    std::vector<std::string_view> fields;
    std::size_t start = 0;
    for (;;) {
        const std::size_t zero = payload.find('\0', start);
        fields.push_back(payload.substr(start, zero - start));
        if (zero == std::string_view::npos) {
            return fields;
        }
        start = zero + 1;
    }
}

}  // namespace

CommitJournal::CommitJournal(JournalPlace place, JournalOperation operation, int level)
    : place_(std::move(place)), operation_(operation), level_(level) {}

std::string CommitJournal::FirstRecords() const {
    std::string records;
    AppendRecord(records, {kMagic, kFormat, kOperationWords[static_cast<std::size_t>(operation_)],
                           std::to_string(level_)});
    if (place_.drives != nullptr) {
        for (char letter = 'A'; letter <= 'Z'; ++letter) {
            if (const auto folder = place_.drives->HostFolder(letter)) {
                AppendRecord(records, {kDrive, std::string_view(&letter, 1), *folder});
            }
        }
    }
    return records;
}

void CommitJournal::Add(StepKind kind, std::string_view oldPath, std::string_view newPath) {
    if (Keeping()) {
        AppendRecord(pending_,
                     {kStep, kKindWords[static_cast<std::size_t>(kind)], oldPath, newPath});
    }
}

void CommitJournal::Withdraw(std::size_t count) {
    if (Keeping() && count > 0) {
        AppendRecord(pending_, {kWithdraw, std::to_string(count)});
    }
}

platform::FileError CommitJournal::Flush() {
    if (!Keeping() || pending_.empty()) {
        return {};
    }
    platform::FileError error =
        file_.IsOpen()
            ? file_.AppendDurably(pending_)
            : platform::JournalFile::Create(place_.folder, FirstRecords() + pending_, file_);
    pending_.clear();
    if (!error.Ok()) {
        // A journal missing some steps would undo only part of the operation.
        failed_ = true;
        file_.Remove();
    }
    return error;
}

void CommitJournal::Finish() {
    pending_.clear();
    file_.Remove();
}

platform::FileError WithdrawDurably(platform::JournalFile& file, std::size_t count) {
    std::string record;
    AppendRecord(record, {kWithdraw, std::to_string(count)});
    return file.AppendDurably(record);
}

std::optional<JournalContents> ReadJournal(std::string_view bytes) {
    auto record = NextRecord(bytes);
    if (!record || record->size() != 4 || (*record)[0] != kMagic || (*record)[1] != kFormat) {
        return std::nullopt;
    }
    const auto operation = IndexOf(kOperationWords, (*record)[2]);
    const auto level = ParseNumber<int>((*record)[3]);
    if (!operation || !level) {
        return std::nullopt;
    }
    JournalContents contents;
    contents.operation = static_cast<JournalOperation>(*operation);
    contents.level = *level;
    bool drivesRead = false;
    while ((record = NextRecord(bytes))) {
        const std::vector<std::string_view>& fields = *record;
        if (fields[0] == kDrive && fields.size() == 3 && fields[1].size() == 1) {
            if (!drivesRead) {
                // The journal's own table replaces the default one whole.
                for (char letter = 'A'; letter <= 'Z'; ++letter) {
                    contents.drives.Unmap(letter);
                }
                drivesRead = true;
            }
            contents.drives.Map(fields[1][0], std::string(fields[2]));
        } else if (fields[0] == kStep && fields.size() == 4) {
            const auto kind = IndexOf(kKindWords, fields[1]);
            if (!kind) {
                break;
            }
            contents.steps.push_back(
                {std::string(fields[2]), std::string(fields[3]), static_cast<StepKind>(*kind)});
        } else if (fields[0] == kWithdraw && fields.size() == 2) {
            const auto count = ParseNumber<std::size_t>(fields[1]);
            if (!count) {
                break;
            }
            contents.steps.resize(contents.steps.size() - std::min(*count, contents.steps.size()));
        } else {
            break;
        }
    }
    return contents;
}

}  // namespace kestrel::commit
