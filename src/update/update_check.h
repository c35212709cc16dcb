#pragma once

#include <string>
#include <string_view>

#include "platform/file_system.h"
#include "platform/web_transfer.h"
#include "settings/settings_store.h"

// The Internet update: asks the maker's site whether a newer Kestrel is out,
// offers the updater, fetches it into the user's data folder, starts it and
// lets the program end so that the updater can replace it.
namespace kestrel::update {

/// What a check may do: offer the download, report a version file that
/// cannot be read, report that nothing newer exists.
inline constexpr int kOfferDownload = 1;
inline constexpr int kReportUnreadable = 2;
inline constexpr int kReportCurrent = 4;
/// The check at start-up, and the one the user asks for.
inline constexpr int kAutomaticCheck = kOfferDownload;
inline constexpr int kManualCheck = kOfferDownload | kReportUnreadable | kReportCurrent;

inline constexpr std::string_view kDefaultSite = "https://kestrel.example.org";
inline constexpr std::string_view kUpdatesPath = "/download/updates/";
/// The release updater on the site, and the name either updater is saved as.
inline constexpr std::string_view kUpdaterName = "Kestrelupdate.exe";
inline constexpr std::string_view kBetaUpdaterName = "Kestrelbetaupdate.exe";
inline constexpr std::string_view kVersionFileName = "Kestrelver.txt";

/// The progress window shown while a file comes from the server.
class ProgressView {
  public:
    virtual ~ProgressView() = default;
    virtual void Open() = 0;
    /// "Getting file from server" or "Saving file to disk".
    virtual void SetAction(std::string_view text) = 0;
    virtual void SetState(std::string_view text) = 0;
    /// Lets the window paint and hear its Cancel button; true once cancelled.
    virtual bool Cancelled() = 0;
    virtual void Close() = 0;
};

enum class Box {
    Unavailable,   // the version file could not be read
    MostCurrent,   // nothing newer
    OfferBeta,     // question: fetch the beta updater?
    OfferRelease,  // question: fetch the release updater?
    NotSaved,      // the updater could not be fetched or saved
    NotStarted,    // the updater was saved, but nothing on this desktop starts it
};

/// Where the check meets the user and the rest of the program.
class UpdateHost {
  public:
    virtual ~UpdateHost() = default;
    /// Shows one of the check's boxes; true when a question was answered Yes.
    virtual bool Show(Box box, std::string_view text) = 0;
    /// The status text, once the version file has been read.
    virtual void ShowStatus(std::string_view status) = 0;
    virtual ProgressView& Progress() = 0;
    /// Starts the saved updater (a host path) with the desktop's program for
    /// its type; false when nothing took it.
    virtual bool StartUpdater(const std::string& hostPath) = 0;
    /// Ends the program in order, so that the updater can replace it.
    virtual void Shutdown() = 0;
};

struct UpdateSettings {
    std::string site{kDefaultSite};
    bool offerBetas = false;
    /// Program path the updater is saved as.
    std::string updaterPath;
    platform::TransferLimits versionFile;
    platform::TransferLimits updater;
};

/// The site ("Update site" in the root key, so that packagers and tests can
/// point elsewhere), "Offer Betas", and the time-outs of `mode`: the check at
/// start-up gives up on an absent server sooner. Without a store, the defaults.
UpdateSettings ReadUpdateSettings(const settings::SettingsStore* store,
                                  std::string_view downloadFolder, int mode);

/// Runs one check against the running `version` ("1.0.276"); `force` offers
/// the download even when nothing is newer.
void CheckForUpdate(UpdateHost& host, platform::FileSystem& fileSystem,
                    const UpdateSettings& settings, std::string_view version, int mode, bool force);

/// Replaces `localPath` by the file at `url`, byte for byte, and returns the
/// number of bytes saved; 0 on failure, with the reason in `error` (left empty
/// when the user cancelled). An empty file is refused: no updater is empty.
std::size_t FetchFile(platform::FileSystem& fileSystem, std::string_view url,
                      std::string_view localPath, const platform::TransferLimits& limits,
                      ProgressView* progress, std::string& error);

}  // namespace kestrel::update
