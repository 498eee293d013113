// Feeds bytes to the settings file parser. A file it accepts must come back
// byte for byte, its values must survive being written into a new file and
// read again, and a change of one value must leave every other value as it was.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "platform/x11/regfile_format.h"

namespace {

constexpr const char* kKey = "Software\\Quillmere\\Chronovale";

// Names the failed line, so that a crash report says which property broke.
#define Check(condition) \
    do { \
        if (!(condition)) { \
            fprintf(stderr, "fuzz_regfile: check failed on line %d: %s\n", __LINE__, #condition); \
            abort(); \
        } \
    } while (0)

void CheckSameValues(const RegFileDocument& document, const std::vector<RegFileDocument::Entry>& entries,
                     std::string_view skipKey, std::string_view skipName) {
    for (const RegFileDocument::Entry& entry : entries) {
        if (RegNamesEqual(entry.keyPath, skipKey) && RegNamesEqual(entry.name, skipName)) continue;
        const RegValue* found = document.Find(entry.keyPath, entry.name);
        if (entry.readable) Check(found && *found == entry.value);
        else Check(found == nullptr);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    RegFileDocument document;
    if (document.Parse(bytes) != RegParseResult::Ok) return 0;
    Check(document.Serialise() == bytes);
    std::vector<RegFileDocument::Entry> entries = document.Entries();

    // Every readable value written into a fresh file reads back the same.
    RegFileDocument copy;
    for (const RegFileDocument::Entry& entry : entries)
        if (entry.readable) Check(copy.Set(entry.keyPath, entry.name, entry.value));
    RegFileDocument reread;
    Check(reread.Parse(copy.Serialise()) == RegParseResult::Ok);
    for (const RegFileDocument::Entry& entry : entries) {
        const RegValue* found = reread.Find(entry.keyPath, entry.name);
        Check(entry.readable ? (found && *found == entry.value) : found == nullptr);
    }

    // Changing one value in the parsed file, as the saver would, touches
    // nothing else. The value and its name are taken from the input.
    std::string name = entries.empty() ? std::string("FuzzValue") : entries[size % entries.size()].name;
    std::string key = entries.empty() ? std::string(kKey) : entries[(size / 2) % entries.size()].keyPath;
    RegValue value;
    value.type = size % 3 == 0 ? kRegSz : size % 3 == 1 ? kRegDword : kRegBinary;
    value.data.assign(bytes.substr(0, size % 600));
    if (value.type == kRegDword) value = MakeDwordValue(static_cast<int32_t>(size * 2654435761u));
    if (value.type == kRegSz) value = MakeTextValue(value.data.substr(0, value.data.find('\0')));
    document.Set(key, name, value);
    RegFileDocument changed;
    Check(changed.Parse(document.Serialise()) == RegParseResult::Ok);
    const RegValue* found = changed.Find(key, name);
    Check(found && *found == value);
    CheckSameValues(changed, entries, key, name);
    return 0;
}
