#include "ui/demo_files.h"

#include <stdlib.h>

#include <array>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace kestrel::ui {
namespace {

// Two reports that differ only in letter case end up with the same new name,
// so the preview shows flagged rows from the start.
constexpr std::array<std::string_view, 12> kDemoFileNames = {
    "IMG_0001.jpg",      "IMG_0002.jpg",           "holiday_photo%20beach.JPG",
    "Track 7 of 12.mp3", "my dvd rip.avi",         "Report FINAL.DOCX",
    "report final.docx", "meeting_notes_2001.txt", "the   quick  brown fox.txt",
    "scan0042.tif",      "Photos/DSC00017.JPG",    "Photos/DSC00018.JPG",
};

}  // namespace

std::span<const std::string_view> DemoFileNames() {
    return kDemoFileNames;
}

std::optional<DemoFolder> CreateDemoFolder(const std::string& hostParent) {
    std::string pattern = hostParent + "/kestrel-demo-XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr) {
        return std::nullopt;
    }
    DemoFolder folder{pattern, pattern + "/files", pattern + "/config"};
    std::error_code error;
    std::filesystem::create_directories(folder.configFolder, error);
    for (std::string_view name : kDemoFileNames) {
        const std::filesystem::path path = folder.filesFolder + "/" + std::string(name);
        std::filesystem::create_directories(path.parent_path(), error);
        std::ofstream file(path);
        if (!file) {
            RemoveDemoFolder(folder);
            return std::nullopt;
        }
    }
    return folder;
}

void RemoveDemoFolder(const DemoFolder& folder) {
    std::error_code ignored;
    std::filesystem::remove_all(folder.root, ignored);
}

}  // namespace kestrel::ui
