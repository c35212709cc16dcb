#pragma once

#include <exception>
#include <string>
#include <string_view>

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

inline constexpr std::string_view kUnexpectedErrorTitle = "Oops!";

}  // namespace kestrel::app
