// A damaged settings database: either any bytes, or a real database of the
// store's schema with bytes changed and its end cut off. The store must read
// it without a crash, and when SQLite itself finds the file damaged, a full
// round of writes must leave it byte for byte as it was.
#include <sqlite3.h>
#include <unistd.h>

#include <algorithm>
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

// A real database written by the store, in the rollback journal mode a file
// has before the store first opens it.
std::string HealthyDatabase() {
    static const std::string bytes = [] {
        const std::string folder = Folder() + "/template";
        std::filesystem::create_directories(folder);
        {
            kestrel::settings::SettingsStore store(folder);
            for (int key = 0; key < 8; ++key) {
                const std::string path =
                    "Software\\Vantorre\\Kestrel\\Templates\\00" + std::to_string(key);
                store.WriteText(kestrel::settings::Scope::Machine, path, "Name", "template");
                store.WriteNumber(kestrel::settings::Scope::Machine, path, "chkCrop", key);
            }
        }
        sqlite3* db = nullptr;
        sqlite3_open((folder + "/machine.db").c_str(), &db);
        sqlite3_exec(db, "PRAGMA journal_mode=DELETE", nullptr, nullptr, nullptr);
        sqlite3_close(db);
        return ReadAll(folder + "/machine.db");
    }();
    return bytes;
}

// The first byte chooses: odd, the rest are the file; even, the rest change
// the healthy database, two bytes of offset and one of value at a time, and
// the first two say where it is cut off.
std::string FileBytes(const std::uint8_t* data, std::size_t size) {
    if (data[0] % 2 == 1) {
        return std::string(reinterpret_cast<const char*>(data) + 1, size - 1);
    }
    std::string bytes = HealthyDatabase();
    std::size_t at = 1;
    if (size >= 3) {
        const std::size_t cut = (data[1] << 8U | data[2]) * 16U;
        bytes.resize(std::min(bytes.size(), cut == 0 ? bytes.size() : cut));
        at = 3;
    }
    for (; at + 3 <= size && !bytes.empty(); at += 3) {
        bytes[(data[at] << 8U | data[at + 1]) % bytes.size()] = static_cast<char>(data[at + 2]);
    }
    return bytes;
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
    const std::string bytes = FileBytes(data, size);
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
