#include "update/update_check.h"

#include <gtest/gtest.h>

#include <chrono>

#include "support/loopback_server.h"
#include "support/temp_drive.h"

namespace kestrel::update {
namespace {

// An updater's bytes: a zero, a high byte and a CR LF must all arrive as sent.
const std::string kUpdater("MZ\0\x01\xff\r\n\x1a", 8);

// Records what a check shows and does, and answers its questions.
struct RecordingHost : UpdateHost, ProgressView {
    RecordingHost(bool yes = false, bool starts = true) : yes(yes), starts(starts) {}
    bool Show(Box box, std::string_view text) override {
        texts.emplace_back(text);
        return boxes.push_back(box), yes;
    }
    void ShowStatus(std::string_view text) override { status = text; }
    ProgressView& Progress() override { return *this; }
    bool StartUpdater(const std::string& hostPath) override { return started = hostPath, starts; }
    void Shutdown() override { ++shutdowns; }
    void Open() override {}
    void SetAction(std::string_view text) override { action = text; }
    void SetState(std::string_view text) override { states.emplace_back(text); }
    bool Cancelled() override { return false; }
    void Close() override {}

    bool yes, starts;
    int shutdowns = 0;
    std::vector<Box> boxes;
    std::vector<std::string> texts;
    std::string status, started, action;
    std::vector<std::string> states;
};

class UpdateCheckTest : public ::testing::Test {
  protected:
    support::TempDrive drive;
    support::LoopbackServer server{drive.HostPath("site")};
    RecordingHost host;
};

TEST_F(UpdateCheckTest, ChecksReportOfferFetchAndStartAsTheVersionFileSays) {
    // The site has the release updater, not the beta one.
    drive.WriteFile("site\\download\\updates\\Kestrelupdate.exe", kUpdater);
    UpdateSettings settings =
        ReadUpdateSettings(nullptr, support::TempDrive::Path(""), kManualCheck);
    settings.site = server.Url();
    using enum Box;
    constexpr int kAuto = kAutomaticCheck, kManual = kManualCheck;
    const std::string release = "(1.0.277 release version available)";
    const std::string beta = "(1.0.280 beta available)";
    const std::string forced = "(1.0.276 release version available)";
    const std::string both = "(1.0.281 beta and 1.0.277 release available)";
    // Version file; betas offered; mode; forced; answered yes; updater starts; status text;
    // boxes shown; updater saved.
    const std::tuple<std::string, bool, int, bool, bool, bool, std::string, std::vector<Box>, bool>
        rows[] = {
            {"OK1 0 276", 0, kManual, 0, 0, 1, "(most recent)", {MostCurrent}, 0},
            {"OK1 0 277\r\n", 0, kManual, 0, 0, 1, release, {OfferRelease}, 0},
            {"OK1 0 277", 0, kAuto, 0, 1, 1, release, {OfferRelease}, 1},
            {"OK1 0 277", 0, kManual, 0, 1, 0, release, {OfferRelease, NotStarted}, 1},
            {"OK1 0 276", 0, kManual, 1, 1, 1, forced, {OfferRelease}, 1},
            {"OK1 0 276Beta1 0 280", 1, kManual, 0, 1, 1, beta, {OfferBeta, NotSaved}, 0},
            {"OK1 0 276Beta1 0 280", 0, kManual, 0, 1, 1, beta, {MostCurrent}, 0},
            {"OK1 0 277 bEtA 1 0 281", 1, kReportCurrent, 0, 1, 1, both, {}, 0},
            {"<html>Not here</html>", 0, kManual, 0, 1, 1, "", {Unavailable}, 0},
            {"<html>Not here</html>", 0, kAuto, 0, 1, 1, "", {}, 0},
            {"OK1 0 277" + std::string(70 * 1024, ' '), 0, kManual, 0, 1, 1, "", {Unavailable}, 0},
        };
    for (const auto& [file, betas, mode, force, yes, starts, status, boxes, saved] : rows) {
        SCOPED_TRACE(file.substr(0, 30) + " mode " + std::to_string(mode));
        drive.WriteFile("site\\download\\updates\\Kestrelver.txt", file);
        ::unlink(drive.HostPath("Kestrelupdate.exe").c_str());
        host = RecordingHost(yes, starts);
        settings.offerBetas = betas;
        CheckForUpdate(host, drive.FileSystem(), settings, "1.0.276", mode, force);
        EXPECT_EQ(host.status, status);
        EXPECT_EQ(host.boxes, boxes);
        EXPECT_EQ(drive.Exists("Kestrelupdate.exe") ? drive.ReadFile("Kestrelupdate.exe") : "",
                  saved ? kUpdater : "");
        EXPECT_EQ(host.started, saved ? drive.HostPath("Kestrelupdate.exe") : "");
        EXPECT_EQ(host.shutdowns, saved && starts);
        EXPECT_EQ(host.action, saved ? "Saving file to disk" : "Getting file from server");
    }
}

// However short, an updater arrives whole; an empty one is refused in words.
TEST_F(UpdateCheckTest, AnUpdaterOfAnyLengthIsSavedAndAnEmptyOneIsRefused) {
    drive.WriteFile("site\\download\\updates\\Kestrelver.txt", "OK1 0 277");
    UpdateSettings settings = ReadUpdateSettings(nullptr, support::TempDrive::Path("dl\\"), 0);
    settings.site = server.Url();
    for (const std::string& updater : {std::string("M"), std::string("MZ"), std::string()}) {
        SCOPED_TRACE(updater.size());
        drive.WriteFile("site\\download\\updates\\Kestrelupdate.exe", updater);
        host = RecordingHost(true);
        CheckForUpdate(host, drive.FileSystem(), settings, "1.0.276", kManualCheck, false);
        if (updater.empty()) {
            EXPECT_EQ(host.boxes, (std::vector<Box>{Box::OfferRelease, Box::NotSaved}));
            EXPECT_EQ(host.texts.back(),
                      "The update could not be downloaded.\r\rThe server sent an empty file.");
            EXPECT_FALSE(drive.Exists("dl\\Kestrelupdate.exe"));
        } else {
            EXPECT_EQ(host.boxes, (std::vector<Box>{Box::OfferRelease}));
            EXPECT_EQ(drive.ReadFile("dl\\Kestrelupdate.exe"), updater);
            EXPECT_EQ(host.shutdowns, 1);
        }
    }
}

TEST_F(UpdateCheckTest, TransfersReportTheirStatesAndRefuseWhatTheyMustNot) {
    drive.WriteFile("site\\download\\updates\\Kestrelver.txt", "OK1 0 276");
    drive.WriteFile("site\\a.txt", "OK1 0 277");
    UpdateSettings settings = ReadUpdateSettings(nullptr, support::TempDrive::Path(""), 0);
    settings.site = server.Url();
    CheckForUpdate(host, drive.FileSystem(), settings, "1.0.276", kManualCheck, false);
    EXPECT_EQ(host.status, "(most recent)");
    EXPECT_EQ(host.states,
              (std::vector<std::string>{"Contacting server", "Server contacted", "Connecting",
                                        "Connected", "Sending request", "Request sent", "Receiving",
                                        "Downloading", "Completed"}));

    support::LoopbackServer secure(drive.HostPath("site"), true);
    platform::TransferLimits trusting, brief;
    trusting.certificateFile = drive.HostPath("site\\cert.pem");
    brief.totalMilliseconds = 300;
    // The last column is the text fetched, or a part of the error.
    const std::tuple<std::string, platform::TransferLimits, const char*> rows[] = {
        {secure.Url("/moved/a.txt"), trusting, "OK1 0 277"},
        {secure.Url("/a.txt"), {}, "certificate"},
        {secure.Url("/moved/" + server.Url("/a.txt")), trusting, "not supported"},
        {server.Url("/loop"), {}, "redirects"},
        {server.Url("/silent"), brief, "timed out"},
    };
    for (const auto& [url, limits, result] : rows) {
        SCOPED_TRACE(url);
        const auto begun = std::chrono::steady_clock::now();
        const platform::FetchResult answer = platform::Fetch(url, limits, nullptr);
        EXPECT_TRUE(answer.Ok() ? answer.bytes == result
                                : answer.error.find(result) != std::string::npos)
            << answer.error;
        EXPECT_LT(std::chrono::steady_clock::now() - begun, std::chrono::seconds(5));
    }
}

}  // namespace
}  // namespace kestrel::update
