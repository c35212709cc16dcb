#pragma once

#include <QString>

#include <initializer_list>
#include <string_view>

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
    QString out;
    out.reserve(pattern.size() + 16 * static_cast<qsizetype>(values.size()));
    for (qsizetype k = 0; k < pattern.size(); ++k) {
        const QChar c = pattern[k];
        if (c == u'{' && k + 2 < pattern.size() && pattern[k + 1] >= u'1' &&
            pattern[k + 1] <= u'9' && pattern[k + 2] == u'}') {
            const auto index = static_cast<std::size_t>(pattern[k + 1].unicode() - u'1');
            if (index < values.size()) {
                out.append(values.begin()[index]);
                k += 2;
                continue;
            }
        }
        out.append(c);
    }
    return out;
}

}  // namespace kestrel::ui
