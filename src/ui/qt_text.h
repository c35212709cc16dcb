#pragma once

#include <QString>

#include <string_view>

// Program text is UTF-8; Qt's is UTF-16. Every crossing goes through here.
namespace kestrel::ui {

inline QString ToQString(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace kestrel::ui
