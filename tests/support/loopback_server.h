#pragma once

#include <signal.h>
#include <stdio.h>
#include <stdlib.h>

#include <filesystem>
#include <string>

// A web server on 127.0.0.1 serving a folder, so that no test needs the Internet:
// /loop redirects to itself, /moved/<path or address> redirects there, /silent
// never answers. With `tls`, HTTPS with its own certificate, cert.pem in the folder.
namespace kestrel::support {

class LoopbackServer {
  public:
    explicit LoopbackServer(const std::string& folder, bool tls = false)
        : scheme_(tls ? "https" : "http") {
        // A proxy set for the machine must not stand between a test and its server.
        ::setenv("no_proxy", "127.0.0.1", 1);
        const std::string script =
            std::filesystem::path(__FILE__).replace_filename("loopback_server.py");
        const std::string command =
            "exec python3 '" + script + "' '" + folder + "'" + (tls ? " tls" : "") + " 2>/dev/null";
        output_ = ::popen(command.c_str(), "r");
        if (output_ == nullptr || std::fscanf(output_, "%d %d", &port_, &pid_) != 2) {
            port_ = 0;
        }
    }
    LoopbackServer(const LoopbackServer&) = delete;  // one server, stopped once
    ~LoopbackServer() {
        if (pid_ > 0) {
            ::kill(pid_, SIGTERM);
        }
        if (output_ != nullptr) {
            ::pclose(output_);
        }
    }

    std::string Url(const std::string& path = "") const {
        return port_ == 0 ? "" : scheme_ + "://127.0.0.1:" + std::to_string(port_) + path;
    }

  private:
    std::string scheme_;
    FILE* output_ = nullptr;
    int port_ = 0;
    int pid_ = 0;
};

}  // namespace kestrel::support
