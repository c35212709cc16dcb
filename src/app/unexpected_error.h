#pragma once

#include <exception>
#include <string>
#include <string_view>

#include "text/translation.h"

// The last-resort report for failures that no operation handles itself.
namespace kestrel::app {

struct UnexpectedError {
    int number = 0;
    std::string description;
};

/// Classifies an exception caught at a command's edge.
UnexpectedError DescribeException(const std::exception& error);

/// The report's text for location code `area` and the data of the item at hand.
std::string UnexpectedErrorText(int area, const UnexpectedError& error, std::string_view data);

/// The report's title, in English; shown as text::Tr gives it.
inline constexpr std::string_view kUnexpectedErrorTitle = N_("Oops!");

}  // namespace kestrel::app
