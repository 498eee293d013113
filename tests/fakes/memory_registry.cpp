// RegistryKey over MemoryRegistry, with the read rules of RegQueryValueExA:
// a 4-byte buffer for numbers and a 500-byte buffer for texts.
#include "memory_registry.h"

#include <cstdio>
#include <cstring>
#include <stdexcept>

#include "platform/registry.h"
#include "product.h"

namespace fake {

MemoryRegistry& Registry() {
    static MemoryRegistry registry;
    return registry;
}

void MemoryRegistry::Clear() {
    keys.clear();
    openFails = false;
    writeCount = 0;
    writtenNames.clear();
}

void MemoryRegistry::PutDword(const std::string& name, int32_t value) {
    std::vector<uint8_t> bytes(4);
    memcpy(bytes.data(), &value, 4);
    keys[kProduct.registryKeyPath][name] = {ValueType::Dword, bytes};
}

void MemoryRegistry::PutSz(const std::string& name, const std::string& text) {
    std::vector<uint8_t> bytes(text.begin(), text.end());
    bytes.push_back(0);
    keys[kProduct.registryKeyPath][name] = {ValueType::Sz, bytes};
}

void MemoryRegistry::PutBinary(const std::string& name, const std::vector<uint8_t>& bytes) {
    keys[kProduct.registryKeyPath][name] = {ValueType::Binary, bytes};
}

const StoredValue* MemoryRegistry::Find(const std::string& name) const {
    auto key = keys.find(kProduct.registryKeyPath);
    if (key == keys.end()) return nullptr;
    auto value = key->second.find(name);
    return value == key->second.end() ? nullptr : &value->second;
}

int32_t MemoryRegistry::DwordOf(const std::string& name) const {
    const StoredValue* value = Find(name);
    if (!value || value->type != ValueType::Dword || value->data.size() != 4)
        throw std::runtime_error("no REG_DWORD named " + name);
    int32_t number;
    memcpy(&number, value->data.data(), 4);
    return number;
}

std::string MemoryRegistry::SzOf(const std::string& name) const {
    const StoredValue* value = Find(name);
    if (!value || value->type != ValueType::Sz || value->data.empty() || value->data.back() != 0)
        throw std::runtime_error("no REG_SZ named " + name);
    return std::string(value->data.begin(), value->data.end() - 1);
}

}  // namespace fake

namespace {
using ValueMap = std::map<std::string, fake::StoredValue>;
ValueMap* Values(void* handle) { return static_cast<ValueMap*>(handle); }
}  // namespace

void RegistryKey::Open(const char* keyPath) {
    Close();
    fake::MemoryRegistry& registry = fake::Registry();
    if (registry.openFails) return;
    handle = &registry.keys[keyPath];
}

void RegistryKey::Close() { handle = nullptr; }

bool RegistryKey::ReadNumber(const char* valueName, int32_t* number) {
    if (!handle) return false;
    auto it = Values(handle)->find(valueName);
    if (it == Values(handle)->end()) return false;
    const fake::StoredValue& value = it->second;
    // Only a full four-byte number counts; a shorter binary would leave part
    // of the result undefined.
    if (value.data.size() != 4) return false;
    if (value.type != fake::ValueType::Dword && value.type != fake::ValueType::Binary) return false;
    uint8_t bytes[4];
    memcpy(bytes, value.data.data(), 4);
    memcpy(number, bytes, 4);
    return true;
}

void RegistryKey::WriteNumber(const char* valueName, int32_t number) {
    if (!handle) return;
    std::vector<uint8_t> bytes(4);
    memcpy(bytes.data(), &number, 4);
    (*Values(handle))[valueName] = {fake::ValueType::Dword, bytes};
    ++fake::Registry().writeCount;
    fake::Registry().writtenNames.push_back(valueName);
}

bool RegistryKey::ReadText(const char* valueName, char* buffer) {
    if (!handle) return false;
    auto it = Values(handle)->find(valueName);
    if (it == Values(handle)->end()) return false;
    const fake::StoredValue& value = it->second;
    if (value.type == fake::ValueType::Dword && value.data.size() == 4) {
        int32_t number;
        memcpy(&number, value.data.data(), 4);
        snprintf(buffer, kRegistryTextSize, "%d", number);
        return true;
    }
    // Data that fills the buffer without room for a terminator is too long.
    if (value.data.size() > kRegistryTextSize) return false;
    bool terminated = !value.data.empty() && value.data.back() == 0;
    if (!terminated && value.data.size() == kRegistryTextSize) return false;
    memcpy(buffer, value.data.data(), value.data.size());
    buffer[terminated ? value.data.size() - 1 : value.data.size()] = '\0';
    return true;
}

void RegistryKey::WriteText(const char* valueName, const char* text) {
    if (!handle) return;
    std::vector<uint8_t> bytes(text, text + strlen(text) + 1);
    (*Values(handle))[valueName] = {fake::ValueType::Sz, bytes};
    ++fake::Registry().writeCount;
    fake::Registry().writtenNames.push_back(valueName);
}
