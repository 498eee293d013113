// A settings key held in memory, standing in for the registry in the unit
// tests. Values keep their registry types, so the setting objects' fallback
// rules can be driven with hand-made values of any type.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace fake {

enum class ValueType { Sz = 1, Binary = 3, Dword = 4 };

struct StoredValue {
    ValueType type;
    std::vector<uint8_t> data;  // as the registry stores it (REG_SZ with its zero)
};

struct MemoryRegistry {
    // Value names compare case-insensitively in the real registry; the tests
    // use the exact names, so a plain map is enough here.
    std::map<std::string, std::map<std::string, StoredValue>> keys;
    bool openFails = false;
    int writeCount = 0;
    std::vector<std::string> writtenNames;

    void Clear();
    void PutDword(const std::string& name, int32_t value);
    void PutSz(const std::string& name, const std::string& text);
    void PutBinary(const std::string& name, const std::vector<uint8_t>& bytes);
    const StoredValue* Find(const std::string& name) const;
    int32_t DwordOf(const std::string& name) const;   // asserts the type
    std::string SzOf(const std::string& name) const;  // asserts the type
};

MemoryRegistry& Registry();

}  // namespace fake
