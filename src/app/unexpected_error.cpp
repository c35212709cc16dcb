#include "app/unexpected_error.h"

#include <new>
#include <stdexcept>

#include "text/translation.h"

namespace kestrel::app {

UnexpectedError DescribeException(const std::exception& error) {
    if (dynamic_cast<const std::bad_alloc*>(&error) != nullptr) {
        return {7, text::Tr("Out of memory")};
    }
    if (dynamic_cast<const std::out_of_range*>(&error) != nullptr ||
        dynamic_cast<const std::length_error*>(&error) != nullptr) {
        return {9, text::Tr("Subscript out of range")};
    }
    return {5, error.what()};
}

std::string UnexpectedErrorText(int area, const UnexpectedError& error, std::string_view data) {
    // The lines are whole sentences or labelled values, each its own text.
    std::string report = text::Tr("An unexpected application error has occurred.");
    report += "\r";
    report += text::Tr("To prevent data loss, the program will close.");
    report += "\r\r";
    // TRANSLATORS: {1} is the place in the program, {2} the error's number,
    // {3} its description (an exception's own words stay English).
    report += text::Fill(text::Tr("Error {1}-{2}: {3}"),
                         {std::to_string(area), std::to_string(error.number), error.description});
    report += "\r";
    // TRANSLATORS: {1} is the entry Kestrel was working on.
    report += text::Fill(text::Tr("Data: {1}"), {data});
    report += "\r\r";
    report += text::Tr("Would you like to submit a bug report?");
    return report;
}

}  // namespace kestrel::app
