#include "update/update_check.h"

#include "platform/path_tools.h"
#include "settings/key_paths.h"
#include "text/translation.h"
#include "update/version_file.h"

namespace kestrel::update {
namespace {

// A version file is a line of text; anything much longer is not one.
constexpr std::size_t kVersionFileMaxBytes = 64 * 1024;
constexpr std::size_t kUpdaterMaxBytes = 512 * 1024 * 1024;
// At start-up the window is already up and waits for nobody, but an absent
// server should not leave a progress window standing for long.
constexpr int kAutomaticConnectMilliseconds = 4'000;
constexpr int kUpdaterTotalMilliseconds = 15 * 60 * 1000;

std::string_view StateText(platform::TransferState state) {
    using platform::TransferState;
    switch (state) {
        case TransferState::Idle:
            // TRANSLATORS: the states of a download, as its progress window shows them.
            return text::Tr("Idle");
        case TransferState::ResolvingHost:
            return text::Tr("Contacting server");
        case TransferState::HostResolved:
            return text::Tr("Server contacted");
        case TransferState::Connecting:
            return text::Tr("Connecting");
        case TransferState::Connected:
            return text::Tr("Connected");
        case TransferState::SendingRequest:
            return text::Tr("Sending request");
        case TransferState::RequestSent:
            return text::Tr("Request sent");
        case TransferState::Receiving:
            return text::Tr("Receiving");
        case TransferState::Downloading:
            return text::Tr("Downloading");
        case TransferState::Disconnecting:
            return text::Tr("Disconnecting");
        case TransferState::Failed:
            return text::Tr("An error has occurred");
        case TransferState::Completed:
            return text::Tr("Completed");
    }
    return {};
}

class ProgressObserver final : public platform::TransferObserver {
  public:
    explicit ProgressObserver(ProgressView& view) : view_(view) {}
    void StateChanged(platform::TransferState state) override { view_.SetState(StateText(state)); }
    bool KeepGoing() override { return !view_.Cancelled(); }

  private:
    ProgressView& view_;
};

/// Fetches with the progress window open; the caller closes it.
platform::FetchResult FetchShowing(std::string_view url, const platform::TransferLimits& limits,
                                   ProgressView* progress) {
    if (progress == nullptr) {
        return platform::Fetch(url, limits, nullptr);
    }
    progress->Open();
    progress->SetAction(text::Tr("Getting file from server"));
    ProgressObserver observer(*progress);
    return platform::Fetch(url, limits, &observer);
}

void FetchAndStartUpdater(UpdateHost& host, platform::FileSystem& fileSystem,
                          const UpdateSettings& settings, std::string_view serverName) {
    std::string error;
    const std::string url = settings.site + std::string(kUpdatesPath) + std::string(serverName);
    if (FetchFile(fileSystem, url, settings.updaterPath, settings.updater, &host.Progress(),
                  error) == 0) {
        if (!error.empty()) {
            host.Show(Box::NotSaved, std::string(text::Tr("The update could not be downloaded.")) +
                                         "\r\r" + error);
        }
        return;
    }
    // An updater nobody can start leaves the program running: the user keeps
    // a working program and learns where the file is.
    const std::string hostPath = fileSystem.GetDetails(settings.updaterPath).hostPath;
    if (!host.StartUpdater(hostPath)) {
        host.Show(Box::NotStarted,
                  // TRANSLATORS: {1} is where the downloaded update was saved.
                  text::Fill(text::Tr("The update was saved as \"{1}\", but no program on this "
                                      "desktop can start it, so Kestrel keeps running."),
                             {hostPath}));
        return;
    }
    host.Shutdown();
}

}  // namespace

UpdateSettings ReadUpdateSettings(const settings::SettingsStore* store,
                                  std::string_view downloadFolder, int mode) {
    using settings::Scope;
    UpdateSettings update;
    if (store != nullptr) {
        update.site =
            store->ReadText(Scope::Machine, settings::kRootKey, "Update site", kDefaultSite);
        update.offerBetas =
            store->ReadNumber(Scope::Machine, settings::kRootKey, "Offer Betas", 0) == 1;
    }
    while (update.site.ends_with('/')) {
        update.site.pop_back();
    }
    update.updaterPath = std::string(downloadFolder) + std::string(kUpdaterName);
    update.versionFile.maxBytes = kVersionFileMaxBytes;
    if ((mode & (kReportUnreadable | kReportCurrent)) == 0) {
        update.versionFile.connectMilliseconds = kAutomaticConnectMilliseconds;
    }
    update.updater.maxBytes = kUpdaterMaxBytes;
    update.updater.totalMilliseconds = kUpdaterTotalMilliseconds;
    return update;
}

void CheckForUpdate(UpdateHost& host, platform::FileSystem& fileSystem,
                    const UpdateSettings& settings, std::string_view version, int mode,
                    bool force) {
    const std::string url =
        settings.site + std::string(kUpdatesPath) + std::string(kVersionFileName);
    const platform::FetchResult answer = FetchShowing(url, settings.versionFile, &host.Progress());
    host.Progress().Close();
    const VersionNews news =
        ReadVersionFile(answer.Ok() ? answer.bytes : "", VersionNumber(version), force);
    if (!news.readable) {
        // Whoever pressed Cancel knows why there is no answer.
        if ((mode & kReportUnreadable) != 0 && !answer.cancelled) {
            host.Show(Box::Unavailable,
                      text::Tr("Update information is not available at this time.  Make sure you "
                               "are connected to the internet and try again."));
        }
        return;
    }
    host.ShowStatus(StatusText(news));
    // With betas on offer, a newer beta is the only offer of this check.
    if (settings.offerBetas && (news.flags & kNewerBeta) != 0) {
        if ((mode & kOfferDownload) != 0 &&
            host.Show(Box::OfferBeta,
                      std::string(text::Tr("There is a beta/release preview available.  Would "
                                           "you like download it now?")) +
                          "  \r\r" +
                          text::Tr("(Beta updates can be disabled in the About/Update box.)"))) {
            FetchAndStartUpdater(host, fileSystem, settings, kBetaUpdaterName);
        }
        return;
    }
    if ((news.flags & kNewerRelease) == 0) {
        if ((mode & kReportCurrent) != 0) {
            host.Show(Box::MostCurrent, text::Tr("You have the most current version."));
        }
        return;
    }
    if ((mode & kOfferDownload) != 0 &&
        host.Show(Box::OfferRelease,
                  std::string(
                      text::Tr("There is an update available.  Would you like download it now?")) +
                      "  ")) {
        FetchAndStartUpdater(host, fileSystem, settings, kUpdaterName);
    }
}

std::size_t FetchFile(platform::FileSystem& fileSystem, std::string_view url,
                      std::string_view localPath, const platform::TransferLimits& limits,
                      ProgressView* progress, std::string& error) {
    fileSystem.DeleteFile(localPath);
    const platform::FetchResult answer = FetchShowing(url, limits, progress);
    const bool usable = answer.Ok() && !answer.bytes.empty();
    platform::FileError saved;
    if (usable) {
        if (progress != nullptr) {
            progress->SetAction(text::Tr("Saving file to disk"));
        }
        platform::MakeFolderTree(fileSystem, localPath);
        saved = fileSystem.WriteFileReplacing(localPath, answer.bytes);
    }
    if (progress != nullptr) {
        progress->Close();
    }
    if (!answer.Ok()) {
        error = answer.cancelled ? std::string() : answer.error;
        return 0;
    }
    if (!usable) {
        error = text::Tr("The server sent an empty file.");
        return 0;
    }
    if (!saved.Ok()) {
        error = platform::NumberedError(saved) + "\r" + std::string(localPath);
        return 0;
    }
    return answer.bytes.size();
}

}  // namespace kestrel::update
