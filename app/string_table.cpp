#include "app/string_table.h"

#include <atomic>
#include <charconv>
#include <memory>
#include <mutex>
#include <vector>

#include "app/file_io.h"

namespace klemora::resources {
std::string_view germanStringTable();
}

namespace klemora::app {
namespace {

std::string unescape(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\' || i + 1 == text.size()) {
            out += text[i];
            continue;
        }
        switch (text[++i]) {
        case 'n': out += '\n'; break;
        case 'r': out += '\r'; break;
        case 't': out += '\t'; break;
        case '\\': out += '\\'; break;
        case '"': out += '"'; break;
        default: out += '\\'; out += text[i]; break;
        }
    }
    return out;
}

// A published table never changes and is never freed while the process
// runs, so a reference loadString gave out stays valid and readers on any
// thread need no lock; a later load publishes another table beside it.
struct ActiveTable {
    const StringMap* strings;
    bool german;
};

const ActiveTable* germanTable() {
    static const ActiveTable table{&germanStrings(), true};
    return &table;
}

std::atomic<const ActiveTable*>& published() {
    static std::atomic<const ActiveTable*> table{germanTable()};
    return table;
}

const ActiveTable* active() { return published().load(std::memory_order_acquire); }

// Keeps every loaded table alive; only the loads lock it.
struct LoadedTables {
    std::mutex mutex;
    std::vector<std::unique_ptr<const StringMap>> maps;
    std::vector<std::unique_ptr<const ActiveTable>> tables;
};

LoadedTables& loadedTables() {
    static LoadedTables tables;
    return tables;
}

void publishLoaded(StringMap table) {
    LoadedTables& loaded = loadedTables();
    std::lock_guard lock(loaded.mutex);
    loaded.maps.push_back(std::make_unique<const StringMap>(std::move(table)));
    loaded.tables.push_back(std::make_unique<const ActiveTable>(ActiveTable{loaded.maps.back().get(), false}));
    published().store(loaded.tables.back().get(), std::memory_order_release);
}

}  // namespace

bool parseStringTable(std::string_view content, StringMap& table, std::string* version) {
    while (!content.empty()) {
        size_t end = content.find('\n');
        std::string_view line = content.substr(0, end);
        content.remove_prefix(end == std::string_view::npos ? content.size() : end + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (line.empty() || line.front() == '#') continue;
        size_t tab = line.find('\t');
        if (tab == std::string_view::npos) return false;
        std::string_view key = line.substr(0, tab);
        std::string_view text = line.substr(tab + 1);
        if (key == "VERSION") {
            if (version) *version = std::string(text);
            continue;
        }
        int id = 0;
        auto [ptr, ec] = std::from_chars(key.data(), key.data() + key.size(), id);
        if (ec != std::errc() || ptr != key.data() + key.size()) return false;
        table[id] = unescape(text);
    }
    return true;
}

const StringMap& germanStrings() {
    static const StringMap table = [] {
        StringMap t;
        parseStringTable(resources::germanStringTable(), t);
        return t;
    }();
    return table;
}

const std::string& loadString(int id) {
    const StringMap& table = *active()->strings;
    auto it = table.find(id);
    if (it != table.end()) return it->second;
    static thread_local std::string missing;
    missing = "[[string " + std::to_string(id) + " missing]]";
    return missing;
}

bool loadLanguageFile(const std::string& path) {
    auto content = readWholeFile(path);
    if (!content) return false;
    StringMap table;
    if (!parseStringTable(*content, table) || table.empty()) return false;
    publishLoaded(std::move(table));
    return true;
}

void useGermanStrings() {
    published().store(germanTable(), std::memory_order_release);
}

bool usingGerman() { return active()->german; }

}  // namespace klemora::app
