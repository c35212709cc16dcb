#include "app/unexpected_error.h"

#include <new>
#include <stdexcept>

namespace kestrel::app {

UnexpectedError DescribeException(const std::exception& error) {
    if (dynamic_cast<const std::bad_alloc*>(&error) != nullptr) {
        return {7, "Out of memory"};
    }
    if (dynamic_cast<const std::out_of_range*>(&error) != nullptr ||
        dynamic_cast<const std::length_error*>(&error) != nullptr) {
        return {9, "Subscript out of range"};
    }
    return {5, error.what()};
}

std::string UnexpectedErrorText(int area, const UnexpectedError& error, std::string_view data) {
    std::string text = "An unexpected application error has occurred.\r";
    text += "To prevent data loss, the program will close.\r\r";
    text += "Error " + std::to_string(area) + "-" + std::to_string(error.number) + ": ";
    text += error.description + "\r";
    text += "Data: " + std::string(data) + "\r\r";
    text += "Would you like to submit a bug report?";
    return text;
}

}  // namespace kestrel::app
