#include "platform/web_transfer.h"

#include <curl/curl.h>
#include <sys/socket.h>

#include "text/translation.h"

namespace kestrel::platform {
namespace {

constexpr int kPollMilliseconds = 40;

void InitialiseOnce() {
    // libcurl's global set-up must run once before the first handle.
    static const bool initialised = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
    static_cast<void>(initialised);
}

struct Transfer {
    const TransferLimits& limits;
    TransferObserver* observer;
    std::string bytes;
    TransferState state = TransferState::Idle;
    bool tooLong = false;

    void Reach(TransferState next) {
        if (next != state) {
            state = next;
            if (observer != nullptr) {
                observer->StateChanged(next);
            }
        }
    }
};

Transfer& Of(void* user) {
    return *static_cast<Transfer*>(user);
}

std::size_t WriteBody(char* data, std::size_t size, std::size_t count, void* user) {
    Transfer& transfer = Of(user);
    const std::size_t length = size * count;
    if (transfer.limits.maxBytes != 0 &&
        transfer.bytes.size() + length > transfer.limits.maxBytes) {
        transfer.tooLong = true;
        return 0;  // anything short of `length` ends the transfer
    }
    transfer.Reach(TransferState::Downloading);
    transfer.bytes.append(data, length);
    return length;
}

std::size_t ReadHeader(char*, std::size_t size, std::size_t count, void* user) {
    Transfer& transfer = Of(user);
    // The first line of an answer tells that the request went out whole.
    if (transfer.state < TransferState::Receiving) {
        transfer.Reach(TransferState::RequestSent);
        transfer.Reach(TransferState::Receiving);
    }
    return size * count;
}

curl_socket_t OpenSocket(void* user, curlsocktype, curl_sockaddr* address) {
    Transfer& transfer = Of(user);
    transfer.Reach(TransferState::HostResolved);
    transfer.Reach(TransferState::Connecting);
    // Programs Kestrel starts later must not inherit the connection.
    return ::socket(address->family, address->socktype | SOCK_CLOEXEC, address->protocol);
}

int BeforeRequest(void* user, char*, char*, int, int) {
    Transfer& transfer = Of(user);
    transfer.Reach(TransferState::Connected);
    transfer.Reach(TransferState::SendingRequest);
    return CURL_PREREQFUNC_OK;
}

bool IsHttps(std::string_view url) {
    constexpr std::string_view kScheme = "https:";
    if (url.size() < kScheme.size()) {
        return false;
    }
    for (std::size_t i = 0; i < kScheme.size(); ++i) {
        if ((url[i] | 0x20) != kScheme[i]) {
            return false;
        }
    }
    return true;
}

void Configure(CURL* easy, const std::string& url, Transfer& transfer, char* message) {
    const TransferLimits& limits = transfer.limits;
    curl_easy_setopt(easy, CURLOPT_URL, url.c_str());
    curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "http,https");
    // Once on https, a redirect may not drop to plain http.
    curl_easy_setopt(easy, CURLOPT_REDIR_PROTOCOLS_STR, IsHttps(url) ? "https" : "http,https");
    curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(easy, CURLOPT_MAXREDIRS, static_cast<long>(limits.maxRedirects));
    curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT_MS,
                     static_cast<long>(limits.connectMilliseconds));
    curl_easy_setopt(easy, CURLOPT_TIMEOUT_MS, static_cast<long>(limits.totalMilliseconds));
    curl_easy_setopt(easy, CURLOPT_FAILONERROR, 1L);
    curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(easy, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(easy, CURLOPT_SSL_VERIFYHOST, 2L);
    if (!limits.certificateFile.empty()) {
        curl_easy_setopt(easy, CURLOPT_CAINFO, limits.certificateFile.c_str());
    }
    if (limits.maxBytes != 0) {
        curl_easy_setopt(easy, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(limits.maxBytes));
    }
    curl_easy_setopt(easy, CURLOPT_USERAGENT, "Kestrel");
    curl_easy_setopt(easy, CURLOPT_ERRORBUFFER, message);
    curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, WriteBody);
    curl_easy_setopt(easy, CURLOPT_WRITEDATA, &transfer);
    curl_easy_setopt(easy, CURLOPT_HEADERFUNCTION, ReadHeader);
    curl_easy_setopt(easy, CURLOPT_HEADERDATA, &transfer);
    curl_easy_setopt(easy, CURLOPT_OPENSOCKETFUNCTION, OpenSocket);
    curl_easy_setopt(easy, CURLOPT_OPENSOCKETDATA, &transfer);
    curl_easy_setopt(easy, CURLOPT_PREREQFUNCTION, BeforeRequest);
    curl_easy_setopt(easy, CURLOPT_PREREQDATA, &transfer);
}

}  // namespace

FetchResult Fetch(std::string_view url, const TransferLimits& limits, TransferObserver* observer) {
    InitialiseOnce();
    Transfer transfer{limits, observer, {}};
    CURL* easy = curl_easy_init();
    CURLM* multi = curl_multi_init();
    FetchResult result;
    if (easy == nullptr || multi == nullptr) {
        curl_easy_cleanup(easy);
        curl_multi_cleanup(multi);
        result.error = text::Tr("The transfer could not be set up.");
        return result;
    }
    char message[CURL_ERROR_SIZE] = "";
    const std::string address(url);
    Configure(easy, address, transfer, message);
    transfer.Reach(TransferState::ResolvingHost);

    // The multi interface hands control back between short waits, so that
    // the observer can let the window paint and the user cancel.
    curl_multi_add_handle(multi, easy);
    int running = 1;
    while (curl_multi_perform(multi, &running) == CURLM_OK && running > 0) {
        // The request is out once its bytes are counted; the answer may take long.
        long sent = 0;
        if (transfer.state == TransferState::SendingRequest &&
            curl_easy_getinfo(easy, CURLINFO_REQUEST_SIZE, &sent) == CURLE_OK && sent > 0) {
            transfer.Reach(TransferState::RequestSent);
        }
        if (observer != nullptr && !observer->KeepGoing()) {
            result.cancelled = true;
            break;
        }
        curl_multi_poll(multi, nullptr, 0, kPollMilliseconds, nullptr);
    }
    CURLcode code = CURLE_ABORTED_BY_CALLBACK;
    int left = 0;
    while (const CURLMsg* done = curl_multi_info_read(multi, &left)) {
        if (done->msg == CURLMSG_DONE) {
            code = done->data.result;
        }
    }
    curl_multi_remove_handle(multi, easy);
    curl_easy_cleanup(easy);
    curl_multi_cleanup(multi);

    if (result.cancelled) {
        result.error = text::Tr("The transfer was cancelled.");
    } else if (transfer.tooLong || code == CURLE_FILESIZE_EXCEEDED) {
        result.error =
            // TRANSLATORS: {1} is the most bytes a download may have, always many.
            text::Fill(text::TrPlural("The answer is longer than {1} bytes.",
                                      "The answer is longer than {1} bytes.", limits.maxBytes),
                       {std::to_string(limits.maxBytes)});
    } else if (code != CURLE_OK) {
        result.error = message[0] != '\0' ? message : curl_easy_strerror(code);
    }
    if (result.Ok()) {
        result.bytes = std::move(transfer.bytes);
    }
    transfer.Reach(result.Ok() ? TransferState::Completed : TransferState::Failed);
    return result;
}

std::string TransferLibraryVersion() {
    return curl_version_info(CURLVERSION_NOW)->version;
}

}  // namespace kestrel::platform
