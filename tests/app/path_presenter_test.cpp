#include "app/path_presenter.h"

#include <gtest/gtest.h>

namespace kestrel::app {
namespace {

// C: is the root, D: a USB stick, E: a folder inside C:'s tree; Q: is not mapped.
platform::DriveTable Drives() {
    platform::DriveTable drives;
    drives.Map('D', "/media/usb");
    drives.Map('E', "/home/me/Work");
    return drives;
}

TEST(PathPresenter, ShowsPathsAsThisComputerWritesThemOrWithDriveLetters) {
    const platform::DriveTable drives = Drives();
    const std::tuple<const char*, const char*> rows[] = {
        {"C:\\", "/"},
        {"C:\\home\\me\\Photos\\", "/home/me/Photos/"},
        {"C:\\home\\me\\a file.jpg", "/home/me/a file.jpg"},
        {"D:\\", "/media/usb/"},
        {"D:\\2001\\trip\\", "/media/usb/2001/trip/"},
        {"E:\\a.txt", "/home/me/Work/a.txt"},
        {"Q:\\gone\\", "Q:\\gone\\"},  // no folder stands for Q:
    };
    const PathPresenter host(&drives, PathStyle::Host);
    const PathPresenter letters(&drives, PathStyle::DriveLetters);
    for (const auto& [program, shown] : rows) {
        SCOPED_TRACE(program);
        EXPECT_EQ(host.Path(program), shown);
        EXPECT_EQ(letters.Path(program), program);
        // What is shown, typed back, names the same place.
        const auto place = [&drives](std::string_view path) {
            std::string host = drives.ToHostPath(path).value_or(std::string(path));
            while (host.size() > 1 && host.ends_with('/')) {
                host.pop_back();
            }
            return host;
        };
        const std::string_view typed = shown;
        EXPECT_EQ(place(typed.starts_with('/') ? drives.ToProgramPath(typed) : std::string(typed)),
                  place(program));
    }
    // Inside another letter's tree the longest mapping wins on the way back.
    EXPECT_EQ(drives.FolderInputToProgram(host.Path("C:\\home\\me\\Work\\x\\")), "E:\\x\\");
    EXPECT_EQ(host.Relative("2001\\trip\\a.jpg"), "2001/trip/a.jpg");
    EXPECT_EQ(host.Relative("Photos\\"), "Photos/");
    EXPECT_EQ(letters.Relative("2001\\trip\\a.jpg"), "2001\\trip\\a.jpg");
    EXPECT_EQ(PathPresenter().Path("C:\\x\\"), "C:\\x\\");
}

}  // namespace
}  // namespace kestrel::app
