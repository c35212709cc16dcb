#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Fetching a file from a web server, for the Internet update. HTTPS is
// checked against trusted certificates, redirects are followed only a few
// times, answers can be capped in size and every transfer has time-outs, so
// that a server that never answers cannot hold the program. Runs on the
// calling thread; the observer is asked often enough for a window to paint
// and to offer a Cancel button meanwhile.
namespace kestrel::platform {

/// What a transfer is doing, numbered as the progress window's state texts.
enum class TransferState {
    Idle = 0,
    ResolvingHost = 1,
    HostResolved = 2,
    Connecting = 3,
    Connected = 4,
    SendingRequest = 5,
    RequestSent = 6,
    Receiving = 7,
    Downloading = 8,
    Disconnecting = 9,
    Failed = 11,
    Completed = 12,
};

struct TransferLimits {
    /// Finding the server and connecting to it, TLS handshake included.
    int connectMilliseconds = 10'000;
    /// The whole transfer, redirects included.
    int totalMilliseconds = 60'000;
    /// Longer answers are refused; 0 takes any length.
    std::size_t maxBytes = 0;
    int maxRedirects = 5;
    /// Certificates to trust instead of the system's (a test server's own).
    std::string certificateFile;
};

class TransferObserver {
  public:
    virtual ~TransferObserver() = default;
    virtual void StateChanged(TransferState state) = 0;
    /// Asked about 25 times a second while the transfer runs; false stops it.
    virtual bool KeepGoing() = 0;
};

struct FetchResult {
    std::string bytes;
    /// Empty on success; otherwise what went wrong, in words for the user.
    std::string error;
    /// The observer stopped the transfer.
    bool cancelled = false;
    bool Ok() const { return error.empty(); }
};

/// Fetches `url` (http or https) whole. An HTTP error status, an answer longer
/// than the cap, more redirects than allowed, a redirect from https to plain
/// http, a certificate that does not check out and a time-out are errors.
FetchResult Fetch(std::string_view url, const TransferLimits& limits, TransferObserver* observer);

/// The version of the transfer library, for the system information.
std::string TransferLibraryVersion();

}  // namespace kestrel::platform
