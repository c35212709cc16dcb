#include <gtest/gtest.h>

#include <QCheckBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QTimer>
#include <filesystem>
#include <fstream>
#include <regex>

#include "app/help_manual.h"
#include "settings/key_paths.h"
#include "settings_window_fixture.h"
#include "support/loopback_server.h"
#include "update/update_check.h"

namespace kestrel::ui {
namespace {

class AboutAndUpdateTest : public SettingsWindowTest {
  protected:
    AboutAndUpdateTest() { SetSite(server.Url()); }
    void SetSite(const std::string& site) {
        store.WriteText(settings::Scope::Machine, settings::kRootKey, "Update site", site);
    }
    QDialog* Progress() { return window->findChild<QDialog*>("frmProgress"); }

    support::LoopbackServer server{drive.HostPath("site")};
};

TEST_F(AboutAndUpdateTest, AboutBoxChecksForUpdatesKeepsTheBetaChoiceAndOpensItsTools) {
    drive.WriteFile("site\\download\\updates\\Kestrelver.txt", "OK1 0 276");
    QDialog* about = Open("cmdAbout", "frmAbout");
    auto* version = In<QLabel>(about, "lblVersion");
    In<QCheckBox>(about, "chkOfferBetas")->click();
    EXPECT_EQ(store.ReadNumber(settings::Scope::Machine, settings::kRootKey, "Offer Betas", 0), 1);

    // The check acts as the button goes down; Shift+Ctrl offers the same version.
    QTest::mouseClick(In<QPushButton>(about, "cmdUpdate"), Qt::LeftButton);
    EXPECT_EQ(version->text(), "Version 1.0.276 (most recent)");
    QTest::mouseClick(In<QPushButton>(about, "cmdUpdate"), Qt::LeftButton,
                      Qt::ShiftModifier | Qt::ControlModifier);
    EXPECT_EQ(version->text(), "Version 1.0.276 (1.0.276 release version available)");
    EXPECT_EQ(boxes.at(1).text, "There is an update available.  Would you like download it now?  ");
    EXPECT_EQ(boxes.at(1).title, "Internet Update");

    Click(about, "cmdSysInfo");  // no tool of the desktop's own: Kestrel's box
    EXPECT_NE(boxes.back().text.find(std::string("\rQt: ") + qVersion() + "\rICU: "),
              std::string::npos);
    programs.installed = {"kinfocenter", "xdg-open"};
    Click(about, "cmdSysInfo");
    Click(about, "cmdWWW");
    EXPECT_EQ(programs.started,
              (std::vector<std::vector<std::string>>{{"kinfocenter"}, {"xdg-open", server.Url()}}));
}

TEST_F(AboutAndUpdateTest, ChecksNeverHoldTheWindowAndTheStartUpCheckSaysNothingWithoutAServer) {
    // At start-up the check waits for the window; no server means no word.
    workspace.preferences.autoUpdate = 1;
    SetSite("http://127.0.0.1:1");
    QElapsedTimer elapsed;
    elapsed.start();
    window->ScheduleAutomaticUpdateCheck();
    EXPECT_EQ(Progress(), nullptr);
    EXPECT_TRUE(QTest::qWaitFor([this] { return Progress() && !Progress()->isVisible(); }, 5000));
    EXPECT_LT(elapsed.elapsed(), 4000);

    // The progress window paints and answers Cancel while the server is silent.
    SetSite(server.Url("/silent"));
    QString action;
    QTimer::singleShot(300, [this, &action] {
        action = Progress()->findChild<QLabel*>("lblAction")->text();
        Click(Progress(), "cmdCancel");
    });
    elapsed.restart();
    window->CheckForUpdate(update::kManualCheck, false);
    EXPECT_LT(elapsed.elapsed(), 5000);
    EXPECT_EQ(action, "Getting file from server");
    EXPECT_TRUE(boxes.empty());  // neither check had anything to say

    SetSite(server.Url());  // "Check for &Update" is the manual check
    Click(Open("cmdPreferences", "frmPreferences"), "cmdCheck");
    EXPECT_EQ(boxes.size(), 1u);
}

TEST_F(AboutAndUpdateTest, ManualOpensFromHelpAndF1AndEveryLinkedPageExists) {
    programs.installed = {"xdg-open"};
    QTest::mouseClick(Find<QPushButton>("cmdHelp"), Qt::LeftButton);  // T:\ has no manual
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text,
              "Kestrel's manual was not found. It belongs in the folder \"help\" "
              "beside the program (T:\\help\\).");

    const std::filesystem::path source = std::filesystem::path(__FILE__).parent_path() / "../..";
    std::string folder = "C:" + std::filesystem::canonical(source).string() + "/";
    std::replace(folder.begin(), folder.end(), '/', '\\');
    workspace.AttachSettings(store, {folder, folder, folder});
    QTest::keyClick(window->SourceList(), Qt::Key_F1);
    QTest::mouseClick(Find<QPushButton>("cmdHelp"), Qt::LeftButton);
    const std::filesystem::path help = std::filesystem::canonical(source / "help");
    const std::vector<std::string> open{"xdg-open", help / "index.html"};
    EXPECT_EQ(programs.started, (std::vector<std::vector<std::string>>{open, open}));
    // Without a browser: the manual named as this computer writes it, on a
    // line of its own.
    programs.exitStatus["xdg-open"] = 3;
    QTest::mouseClick(Find<QPushButton>("cmdHelp"), Qt::LeftButton);
    EXPECT_EQ(boxes.back().text, "Kestrel could not open its manual:\r" +
                                     (help / "index.html").string() + "\r\r" +
                                     std::string(app::kNoBrowserText));

    const std::regex link(R"(href="([^"#:]+))");
    for (const auto& page : std::filesystem::directory_iterator(help)) {
        std::ifstream in(page.path());
        const std::string html{std::istreambuf_iterator<char>(in), {}};
        for (std::sregex_iterator at(html.begin(), html.end(), link), end; at != end; ++at) {
            EXPECT_TRUE(std::filesystem::exists(help / (*at)[1].str())) << page.path() << (*at)[1];
        }
    }
}

}  // namespace
}  // namespace kestrel::ui
