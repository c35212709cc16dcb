#pragma once

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "platform/posix_file_system.h"

// A fresh temporary folder mapped as drive T: for tests that touch files.
// Relative paths are written as in program paths ("Photos\\a.jpg") from the
// root of the drive. Everything in it, read-only entries included, is removed
// when the TempDrive goes out of scope; a helper the host refuses fails the test.
namespace kestrel::support {

class TempDrive {
  public:
    static constexpr char kLetter = 'T';

    TempDrive() : letter_(kLetter) {
        if (!Create(DefaultParent())) {
            ADD_FAILURE() << "cannot make a temporary folder under " << DefaultParent();
        }
    }

    /// A temporary folder under `hostParent` (e.g. "/dev/shm" for another file
    /// system), mapped as `letter`. Valid() tells whether it could be made, so
    /// a test can skip when the host lacks that place.
    TempDrive(const std::string& hostParent, char letter) : letter_(letter) { Create(hostParent); }

    TempDrive(const TempDrive&) = delete;
    TempDrive& operator=(const TempDrive&) = delete;

    ~TempDrive() {
        if (!root_.empty()) {
            MakeRemovable(root_);
            std::error_code ignored;
            std::filesystem::remove_all(root_, ignored);
        }
    }

    /// False when the temporary folder could not be made.
    bool Valid() const { return !root_.empty(); }

    /// The file system with this drive mapped (C: stays the host root).
    platform::PosixFileSystem& FileSystem() { return fileSystem_; }

    /// The program path of `relative` on T: ("a\\b.txt" -> "T:\\a\\b.txt").
    static std::string Path(std::string_view relative) {
        return std::string{kLetter, ':', '\\'} + std::string(relative);
    }

    /// The program path of `relative` on this drive's own letter.
    std::string ProgramPath(std::string_view relative) const {
        return std::string{letter_, ':', '\\'} + std::string(relative);
    }

    /// The host path of `relative` ("a\\b.txt" -> "/tmp/kestrel-XXXXXX/a/b.txt").
    std::string HostPath(std::string_view relative) const {
        std::string out = root_;
        if (!relative.empty()) {
            out.push_back('/');
        }
        for (char c : relative) {
            out.push_back(c == '\\' ? '/' : c);
        }
        return out;
    }
    const std::string& HostRoot() const { return root_; }

    /// Creates or replaces a file with exactly `bytes`, making its folders.
    void WriteFile(std::string_view relative, std::string_view bytes) const {
        const std::filesystem::path path = HostPath(relative);
        std::error_code error;
        std::filesystem::create_directories(path.parent_path(), error);
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        if (!out.flush()) {
            ADD_FAILURE() << "cannot write " << path;
        }
    }

    /// Creates empty files, or with `ownNames` files that each hold their own
    /// relative path.
    void WriteFiles(std::initializer_list<std::string_view> relatives,
                    bool ownNames = false) const {
        for (const std::string_view relative : relatives) {
            WriteFile(relative, ownNames ? relative : "");
        }
    }

    /// Creates a folder and any missing folders above it.
    void MakeFolder(std::string_view relative) const {
        std::error_code error;
        std::filesystem::create_directories(HostPath(relative), error);
        if (error) {
            ADD_FAILURE() << "cannot make folder " << HostPath(relative) << ": " << error.message();
        }
    }

    /// The bytes of a file; empty (and the test failed) when it cannot be read.
    std::string ReadFile(std::string_view relative) const {
        std::ifstream in(HostPath(relative), std::ios::binary);
        if (!in) {
            ADD_FAILURE() << "cannot read " << HostPath(relative);
            return {};
        }
        // One read of the whole file: the crash tests compare hundreds of
        // megabytes, which a character iterator makes slow in sanitizer builds.
        std::string bytes(std::filesystem::file_size(HostPath(relative)), '\0');
        in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        return bytes;
    }

    /// Removes everything on the drive; the folder that holds it stays.
    void Clear() const {
        const std::vector<std::filesystem::path> entries{std::filesystem::directory_iterator(root_),
                                                         std::filesystem::directory_iterator()};
        for (const std::filesystem::path& entry : entries) {
            std::filesystem::remove_all(entry);
        }
    }

    /// Every file below `relative`, by its path from there ("Sub/a.txt"), with its bytes.
    std::map<std::string, std::string> Files(std::string_view relative = "") const {
        std::map<std::string, std::string> files;
        const std::filesystem::path root = HostPath(relative);
        for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
            if (entry.is_regular_file()) {
                std::ifstream in(entry.path(), std::ios::binary);
                files[std::filesystem::relative(entry.path(), root).generic_string()] =
                    std::string(std::istreambuf_iterator<char>(in), {});
            }
        }
        return files;
    }

    /// The paths of Files(relative), in order.
    std::vector<std::string> FileNames(std::string_view relative = "") const {
        std::vector<std::string> names;
        for (const auto& [name, bytes] : Files(relative)) {
            names.push_back(name);
        }
        return names;
    }

    /// Whether an entry (even a dangling link) exists on the host.
    bool Exists(std::string_view relative) const {
        struct stat info {};
        return ::lstat(HostPath(relative).c_str(), &info) == 0;
    }

  private:
    bool Create(const std::string& hostParent) {
        std::string pattern = hostParent + "/kestrel-XXXXXX";
        if (::mkdtemp(pattern.data()) == nullptr) {
            return false;
        }
        root_ = pattern;
        fileSystem_.Drives().Map(letter_, root_);
        return true;
    }

    static std::string DefaultParent() {
        const char* tmp = std::getenv("TMPDIR");
        return tmp != nullptr && *tmp != '\0' ? tmp : "/tmp";
    }

    // Folders without write or search permission would stop remove_all for a
    // user other than root. Links are not followed.
    static void MakeRemovable(const std::filesystem::path& folder) {
        ::chmod(folder.c_str(), 0700);
        std::error_code error;
        for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end;
             it.increment(error)) {
            if (it->is_directory(error) && !it->is_symlink(error)) {
                MakeRemovable(it->path());
            }
        }
    }

    char letter_;
    std::string root_;
    platform::PosixFileSystem fileSystem_;
};

}  // namespace kestrel::support
