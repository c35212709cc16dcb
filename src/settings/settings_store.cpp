#include "settings/settings_store.h"

#include <cstdlib>
#include <optional>

#include "platform/user_folders.h"

namespace kestrel::settings {
namespace {

std::string DatabasePath(const std::string& configFolder, const char* fileName) {
    // Without a folder there is no place for the store: it reads empty.
    if (configFolder.empty()) {
        return {};
    }
    std::string path = configFolder;
    if (path.back() != '/') {
        path.push_back('/');
    }
    return path + fileName;
}

/// An environment variable that is set to a non-empty text.
std::optional<std::string> Environment(const char* name) {
    const char* value = std::getenv(name);
    if (value == nullptr || *value == '\0') {
        return std::nullopt;
    }
    return std::string(value);
}

}  // namespace

SettingsStore::SettingsStore(const std::string& configFolder)
    : machine_(DatabasePath(configFolder, "machine.db")),
      user_(DatabasePath(configFolder, "user.db")) {}

std::string SettingsStore::ReadText(Scope scope, std::string_view keyPath,
                                    std::string_view valueName,
                                    std::string_view defaultText) const {
    std::optional<std::string> stored = Backing(scope).ReadText(keyPath, valueName);
    if (!stored) {
        return std::string(defaultText);
    }
    // Stored texts have no terminator of their own; one written inside a text
    // ends it, as it would for every consumer of a C string.
    const std::size_t zero = stored->find('\0');
    if (zero != std::string::npos) {
        stored->resize(zero);
    }
    return std::move(*stored);
}

void SettingsStore::WriteText(Scope scope, std::string_view keyPath, std::string_view valueName,
                              std::string_view text) {
    Backing(scope).WriteText(keyPath, valueName, text);
}

std::int32_t SettingsStore::ReadNumber(Scope scope, std::string_view keyPath,
                                       std::string_view valueName,
                                       std::int32_t defaultNumber) const {
    return Backing(scope).ReadNumber(keyPath, valueName).value_or(defaultNumber);
}

void SettingsStore::WriteNumber(Scope scope, std::string_view keyPath, std::string_view valueName,
                                std::int32_t number) {
    Backing(scope).WriteNumber(keyPath, valueName, number);
}

int SettingsStore::DeleteKey(Scope scope, std::string_view keyPath) {
    return Backing(scope).DeleteKey(keyPath);
}

bool SettingsStore::DeleteValue(Scope scope, std::string_view keyPath, std::string_view valueName) {
    return Backing(scope).DeleteValue(keyPath, valueName);
}

std::vector<std::string> SettingsStore::ListSubkeys(Scope scope, std::string_view keyPath) const {
    return Backing(scope).ListSubkeys(keyPath);
}

std::vector<std::string> SettingsStore::ListValueNames(Scope scope,
                                                       std::string_view keyPath) const {
    return Backing(scope).ListValueNames(keyPath);
}

void SettingsStore::WriteBatch(Scope scope, const std::function<void()>& work) {
    Backing(scope).WriteBatch(work);
}

void SettingsStore::ReadSnapshot(Scope scope, const std::function<void()>& work) const {
    Backing(scope).ReadSnapshot(work);
}

const platform::SqliteKeyStore& SettingsStore::Backing(Scope scope) const {
    return scope == Scope::Machine ? machine_ : user_;
}

platform::SqliteKeyStore& SettingsStore::Backing(Scope scope) {
    return scope == Scope::Machine ? machine_ : user_;
}

std::string DefaultConfigFolder() {
    if (std::optional<std::string> folder = Environment("KESTREL_CONFIG_DIR")) {
        return *folder;
    }
    if (std::optional<std::string> config = Environment("XDG_CONFIG_HOME")) {
        return *config + "/kestrel";
    }
    const std::string home = platform::HomeFolder();
    return home.empty() ? std::string() : home + "/.config/kestrel";
}

}  // namespace kestrel::settings
