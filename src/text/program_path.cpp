#include "text/program_path.h"

namespace kestrel::text {

std::string AddTrailingBackslash(std::string_view path) {
    std::string out(path);
    if (out.empty() || out.back() != '\\') {
        out.push_back('\\');
    }
    return out;
}

bool StripTrailingBackslash(std::string& path) {
    if (!path.empty() && path.back() == '\\') {
        path.pop_back();
        return true;
    }
    return false;
}

}  // namespace kestrel::text
