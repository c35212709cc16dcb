#pragma once

#include <stdlib.h>

#include <filesystem>
#include <string>

namespace kestrel::settings {

/// A fresh configuration folder for one test, removed with everything in it.
class TempConfigFolder {
  public:
    TempConfigFolder() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "kestrel-settings-XXXXXX").string();
        if (::mkdtemp(pattern.data()) != nullptr) {
            path_ = pattern;
        }
    }
    ~TempConfigFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TempConfigFolder(const TempConfigFolder&) = delete;
    TempConfigFolder& operator=(const TempConfigFolder&) = delete;

    const std::string& Path() const { return path_; }
    std::string File(const std::string& name) const { return path_ + "/" + name; }

  private:
    std::string path_;
};

}  // namespace kestrel::settings
