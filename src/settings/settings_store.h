#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/sqlite_key_store.h"

// Kestrel's only persistent configuration: backslash-separated keys holding
// named text and number values, in two scopes. Key and value names match
// without regard to letter case. Reads never fail (every problem yields the
// caller's default) and writes that the store refuses are lost silently, so a
// fresh or unusable store simply runs the program on its defaults.
namespace kestrel::settings {

enum class Scope { Machine, User };

class SettingsStore {
  public:
    /// Keeps the scopes in machine.db and user.db of the folder, opened on first use.
    explicit SettingsStore(const std::string& configFolder);

    /// The stored text up to its first zero character when the value exists as
    /// text; otherwise the default.
    std::string ReadText(Scope scope, std::string_view keyPath, std::string_view valueName,
                         std::string_view defaultText = "") const;
    /// Creates every missing level of the key and replaces the value whatever its type.
    void WriteText(Scope scope, std::string_view keyPath, std::string_view valueName,
                   std::string_view text);
    /// The stored number when the value exists as a number; otherwise the default.
    std::int32_t ReadNumber(Scope scope, std::string_view keyPath, std::string_view valueName,
                            std::int32_t defaultNumber = 0) const;
    /// Creates every missing level of the key and replaces the value whatever its type.
    void WriteNumber(Scope scope, std::string_view keyPath, std::string_view valueName,
                     std::int32_t number);
    /// Removes the key with its values and sub-keys: 0 when done, nonzero when the
    /// key was not there or could not be removed.
    int DeleteKey(Scope scope, std::string_view keyPath);
    /// Removes one value of the key; false when it was not there or could not go.
    bool DeleteValue(Scope scope, std::string_view keyPath, std::string_view valueName);
    /// Direct sub-key names as first written, ascending without regard to case.
    std::vector<std::string> ListSubkeys(Scope scope, std::string_view keyPath) const;
    /// Value names of the key as first written ("" is the unnamed value).
    std::vector<std::string> ListValueNames(Scope scope, std::string_view keyPath) const;

    /// Runs `work`, whose calls on `scope` then form one transaction: another
    /// running copy sees all of its writes or none of them.
    void WriteBatch(Scope scope, const std::function<void()>& work);
    /// Runs `work`, whose reads of `scope` then see one state of the store,
    /// never half of another copy's batch.
    void ReadSnapshot(Scope scope, const std::function<void()>& work) const;

  private:
    const platform::SqliteKeyStore& Backing(Scope scope) const;
    platform::SqliteKeyStore& Backing(Scope scope);

    platform::SqliteKeyStore machine_;
    platform::SqliteKeyStore user_;
};

/// $KESTREL_CONFIG_DIR, else $XDG_CONFIG_HOME/kestrel, else ~/.config/kestrel.
std::string DefaultConfigFolder();

}  // namespace kestrel::settings
