#include "settings/key_paths.h"

namespace kestrel::settings {

std::string TemplateKey(int templateNumber) {
    std::string digits = std::to_string(templateNumber);
    if (digits.size() < 3) {
        digits.insert(0, 3 - digits.size(), '0');
    }
    std::string key(kTemplatesKey);
    key += '\\';
    key += digits;
    return key;
}

}  // namespace kestrel::settings
