#include "update/version_file.h"

#include <algorithm>

#include "text/numbers.h"
#include "text/translation.h"
#include "text/unicode_text.h"

namespace kestrel::update {
namespace {

// Spaces between the numbers become dots. A version file saved with a line
// end or stray blanks around a version must not show them as dots.
std::string Dotted(std::string_view version) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!version.empty() && blank(version.front())) {
        version.remove_prefix(1);
    }
    while (!version.empty() && blank(version.back())) {
        version.remove_suffix(1);
    }
    std::string dotted(version);
    std::replace(dotted.begin(), dotted.end(), ' ', '.');
    return dotted;
}

// Where "Beta" starts, in any letter case; byte positions stay those of `text`.
std::size_t FindBeta(std::string_view text) {
    constexpr std::string_view kBeta = "beta";
    for (std::size_t i = 0; i + kBeta.size() <= text.size(); ++i) {
        if (text::EqualAsLowerCase(text.substr(i, kBeta.size()), kBeta)) {
            return i;
        }
    }
    return std::string_view::npos;
}

}  // namespace

double VersionNumber(std::string_view dottedVersion) {
    std::string digits(dottedVersion);
    std::erase(digits, '.');
    return text::LeadingNumber(digits);
}

std::string VersionText(std::string_view dottedVersion) {
    // TRANSLATORS: {1} is the program's version ("1.0.276").
    return text::Fill(text::Tr("Version {1}"), {dottedVersion}) + " ";
}

VersionNews ReadVersionFile(std::string_view text, double current, bool force) {
    VersionNews news;
    if (!text.starts_with("OK")) {
        return news;
    }
    news.readable = true;
    const std::string_view rest = text.substr(2);
    const std::size_t beta = FindBeta(rest);
    const std::string_view release = rest.substr(0, beta);
    const std::string_view betaVersion =
        beta == std::string_view::npos ? std::string_view() : rest.substr(beta + 4);
    news.release = Dotted(release);
    news.beta = Dotted(betaVersion);
    // Forcing offers what the file names; a beta it does not name is not there.
    if (text::LeadingNumber(release) > current || (force && !news.release.empty())) {
        news.flags |= kNewerRelease;
    }
    if (text::LeadingNumber(betaVersion) > current || (force && !news.beta.empty())) {
        news.flags |= kNewerBeta;
    }
    return news;
}

std::string StatusText(const VersionNews& news) {
    switch (news.flags) {
        case kNewerRelease:
            // TRANSLATORS: {1} is the newer version on offer ("1.0.277").
            return text::Fill(text::Tr("({1} release version available)"), {news.release});
        case kNewerBeta:
            // TRANSLATORS: {1} is the beta version on offer.
            return text::Fill(text::Tr("({1} beta available)"), {news.beta});
        case kNewerRelease | kNewerBeta:
            // TRANSLATORS: {1} is the beta version on offer, {2} the newer release.
            return text::Fill(text::Tr("({1} beta and {2} release available)"),
                              {news.beta, news.release});
        default:
            return text::Tr("(most recent)");
    }
}

}  // namespace kestrel::update
