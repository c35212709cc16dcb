#pragma once

#include <string>
#include <string_view>

// Where Kestrel keeps its settings inside the store. The machine scope holds
// everything under the root key; the user scope holds only the sound events.
namespace kestrel::settings {

inline constexpr std::string_view kRootKey = "Software\\Vantorre\\Kestrel";
inline constexpr std::string_view kSettingsKey = "Software\\Vantorre\\Kestrel\\Settings";
inline constexpr std::string_view kTemplatesKey = "Software\\Vantorre\\Kestrel\\Templates";
inline constexpr std::string_view kDrivesKey = "Software\\Vantorre\\Kestrel\\Drives";
inline constexpr std::string_view kSoundEventsKey = "AppEvents\\Schemes\\Apps\\Kestrel";

inline constexpr int kFirstTemplateNumber = 0;
inline constexpr int kLastTemplateNumber = 255;

/// The key of template n (0 to 255): the templates key + "\" + n zero-padded to
/// three digits, so that the sub-keys list in number order.
std::string TemplateKey(int templateNumber);

}  // namespace kestrel::settings
