#pragma once

#include <QString>

#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "text/translation.h"

// Program text is UTF-8; Qt's is UTF-16. Every crossing goes through here.
namespace kestrel::ui {

inline QString ToQString(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

/// The text in the user's language, for a widget.
inline QString Tr(const char* english) {
    return QString::fromUtf8(text::Tr(english));
}

/// The form of a counted text that fits `count`, for a widget.
inline QString TrPlural(const char* one, const char* many, std::uint64_t count) {
    return QString::fromUtf8(text::TrPlural(one, many, count));
}

/// The pattern with "{1}" to "{9}" replaced by the values in order, as
/// text::Fill does for program text.
inline QString Fill(const QString& pattern, std::initializer_list<QString> values) {
    std::vector<std::string> utf8;
    utf8.reserve(values.size());
    for (const QString& value : values) {
        utf8.push_back(value.toStdString());
    }
    const std::vector<std::string_view> views(utf8.begin(), utf8.end());
    return ToQString(text::Fill(pattern.toStdString(), views));
}

}  // namespace kestrel::ui
