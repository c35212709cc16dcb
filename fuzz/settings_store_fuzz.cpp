// A settings database file of any bytes: the store must read it without a
// crash, and when SQLite itself finds the file damaged, a full round of
// writes must leave it byte for byte as it was.
#include <sqlite3.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "settings/settings_store.h"

namespace {

std::string Folder() {
    static const std::string folder = [] {
        std::string pattern = std::filesystem::temp_directory_path().string() + "/kfuzz-XXXXXX";
        return ::mkdtemp(pattern.data()) != nullptr ? pattern : std::string();
    }();
    return folder;
}

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

void WriteAll(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

// SQLite's own verdict on a copy of the file, opened read-only.
bool Healthy(const std::string& path) {
    sqlite3* db = nullptr;
    bool healthy = false;
    if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
        sqlite3_stmt* check = nullptr;
        healthy = sqlite3_prepare_v2(db, "PRAGMA quick_check", -1, &check, nullptr) == SQLITE_OK &&
                  sqlite3_step(check) == SQLITE_ROW &&
                  std::string(reinterpret_cast<const char*>(sqlite3_column_text(check, 0))) == "ok";
        sqlite3_finalize(check);
    }
    sqlite3_close(db);
    return healthy;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string folder = Folder();
    if (folder.empty() || size == 0) {
        return 0;
    }
    for (const char* leftover :
         {"/machine.db-wal", "/machine.db-shm", "/user.db", "/probe.db-wal", "/probe.db-shm"}) {
        std::filesystem::remove(folder + leftover);
    }
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const std::string database = folder + "/machine.db";
    WriteAll(folder + "/probe.db", bytes);
    const bool healthy = Healthy(folder + "/probe.db");
    WriteAll(database, bytes);
    {
        using kestrel::settings::Scope;
        kestrel::settings::SettingsStore store(folder);
        const std::string key = "Software\\Vantorre\\Kestrel\\Settings";
        store.ReadText(Scope::Machine, key, "Working Folder");
        store.ReadNumber(Scope::Machine, key, "Build");
        for (const std::string& sub : store.ListSubkeys(Scope::Machine, "Software")) {
            store.ListValueNames(Scope::Machine, "Software\\" + sub);
        }
        store.WriteNumber(Scope::Machine, key, "Build", 276);
        store.WriteBatch(Scope::Machine, [&] { store.WriteText(Scope::Machine, key, "x", "y"); });
        store.DeleteKey(Scope::Machine, "Software");
    }
    if (!healthy && ReadAll(database) != bytes) {
        __builtin_trap();
    }
    return 0;
}
