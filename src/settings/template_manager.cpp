#include "settings/template_manager.h"

#include <utility>

#include "settings/key_paths.h"
#include "text/translation.h"

namespace kestrel::settings {
namespace {

// The number a template key name stands for, when it is one the program
// writes: three decimal digits, 1 to 255. "7" or "0007" would never be read
// back by a load (the key of 7 is "007"), so listing them would offer a
// template that cannot be used; they are passed over like any other name.
std::optional<int> UserTemplateNumber(std::string_view keyName) {
    if (keyName.size() != 3) {
        return std::nullopt;
    }
    int number = 0;
    for (char c : keyName) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        number = number * 10 + (c - '0');
    }
    if (number <= kFirstTemplateNumber || number > kLastTemplateNumber) {
        return std::nullopt;
    }
    return number;
}

}  // namespace

TemplateManagerModel::TemplateManagerModel(SaveCallback saveTemplate)
    : saveTemplate_(std::move(saveTemplate)) {}

void TemplateManagerModel::FillTemplateList(const SettingsStore& store) {
    rows_.clear();
    rows_.emplace_back(text::Tr(kLastDefaultStateRow.data()));
    int last = kFirstTemplateNumber;
    // The default template's key is recognised by its name, not by coming
    // first: when "000" is missing the first key is a user's template, and
    // leaving it out would let "Add" save over it.
    for (const std::string& keyName : store.ListSubkeys(Scope::Machine, kTemplatesKey)) {
        const std::optional<int> number = UserTemplateNumber(keyName);
        // Rows must stay in number order, so a number already passed is skipped.
        if (!number || *number <= last) {
            continue;
        }
        while (last + 1 < *number) {
            rows_.emplace_back(text::Tr(kEmptyRow.data()));
            ++last;
        }
        rows_.push_back(store.ReadText(Scope::Machine, TemplateKey(*number), ""));
        last = *number;
    }
    Select(0);
    SetNameBox(nameBox_);
}

void TemplateManagerModel::Select(int row) {
    if (row < 0 || row >= static_cast<int>(rows_.size())) {
        return;
    }
    selected_ = row;
    SetNameBox(rows_[row]);
    // TRANSLATORS: {1} is the number of the template selected in the list.
    caption_ = text::Fill(text::Tr("Template number {1} highlighted"), {std::to_string(row)});
    // A row with an empty text has no template to use or delete, but can still
    // receive one.
    const bool hasTemplate = !rows_[row].empty();
    buttons_.cmdUse = hasTemplate;
    buttons_.cmdDelete = hasTemplate;
    buttons_.cmdModify = true;
    buttons_.cmdAdd = true;
}

void TemplateManagerModel::SetNameBox(std::string_view text) {
    nameBox_ = text;
    buttons_.cmdAdd = !nameBox_.empty();
}

bool TemplateManagerModel::Add() {
    if (nameBox_.empty()) {
        return false;
    }
    // "{Empty}" and "{Deleted}" rows are not reused, so numbers are not
    // recycled within one showing of the list.
    int number = kFirstTemplateNumber;
    while (number <= kLastTemplateNumber && number < static_cast<int>(rows_.size()) &&
           !rows_[number].empty()) {
        ++number;
    }
    if (number > kLastTemplateNumber) {
        return false;
    }
    const std::string name = nameBox_;
    // A free row inside the list takes the name in place: inserting would move
    // every later row off its template number.
    if (number < static_cast<int>(rows_.size())) {
        rows_[number] = name;
    } else {
        rows_.push_back(name);
    }
    saveTemplate_(number, name);
    SetNameBox("");
    return true;
}

void TemplateManagerModel::Modify() {
    if (nameBox_.empty() || !HasSelection()) {
        return;
    }
    const std::string name = nameBox_;
    rows_[selected_] = name;
    saveTemplate_(selected_, name);
    SetNameBox("");
}

void TemplateManagerModel::Delete(SettingsStore& store) {
    if (HasSelection() && store.DeleteKey(Scope::Machine, TemplateKey(selected_)) == 0) {
        rows_[selected_] = text::Tr(kDeletedRow.data());
    }
    SetNameBox("");
}

void TemplateManagerModel::DeleteAll(SettingsStore& store) {
    for (int number = 0; number < static_cast<int>(rows_.size()); ++number) {
        if (!rows_[number].empty()) {
            store.DeleteKey(Scope::Machine, TemplateKey(number));
        }
    }
    rows_.clear();
    ClearSelection();
    SetNameBox("");
}

std::optional<int> TemplateManagerModel::Use() {
    SetNameBox("");
    if (!HasSelection()) {
        return std::nullopt;
    }
    return selected_;
}

bool TemplateManagerModel::HasSelection() const {
    return selected_ >= 0 && selected_ < static_cast<int>(rows_.size());
}

// With no row selected there is nothing to use, modify or delete.
void TemplateManagerModel::ClearSelection() {
    selected_ = -1;
    buttons_.cmdUse = false;
    buttons_.cmdModify = false;
    buttons_.cmdDelete = false;
}

}  // namespace kestrel::settings
