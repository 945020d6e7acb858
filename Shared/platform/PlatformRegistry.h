#pragma once
// The per-user settings store. The Windows build uses the registry; the
// native build keeps an in-memory tree with the same behaviour for the life
// of the process, so that the settings logic runs and is tested there too.
// Results are the registry's own error codes.

#include <cstdint>
#include <string>
#include <vector>

namespace kx
{

using RegistryHandle = uintptr_t; // 0: none

enum : uint32_t
{
    kRegOk = 0,
    kRegNotFound = 2,
    kRegAccessDenied = 5,
    kRegInvalidHandle = 6,
    kRegInvalidParameter = 87,
    kRegNoMoreItems = 259,
    kRegKeyDeleted = 1018,
};

enum : uint32_t
{
    kRegString = 1,
    kRegBinary = 3,
    kRegDword = 4,
    kRegMultiString = 7,
};

// Access rights as the registry counts them.
enum : uint32_t
{
    kRegQueryValue = 0x0001,
    kRegSetValue = 0x0002,
    kRegCreateSubKey = 0x0004,
    kRegEnumerateSubKeys = 0x0008,
    kRegRead = 0x20019,
    kRegWrite = 0x20006,
};

// The root of the current user's settings.
RegistryHandle RegistryCurrentUser();

// name may hold several levels separated by '\\'; CreateKey makes the
// missing ones.
uint32_t RegistryCreateKey(RegistryHandle parent, const char* name, uint32_t access, RegistryHandle& key);
uint32_t RegistryOpenKey(RegistryHandle parent, const char* name, uint32_t access, RegistryHandle& key);
uint32_t RegistryCloseKey(RegistryHandle key);
uint32_t RegistryValueCount(RegistryHandle key, uint32_t& count);
// Values and sub-keys by index, whole whatever their length; kRegNoMoreItems
// past the last.
uint32_t RegistryEnumValue(RegistryHandle key, uint32_t index, std::string& name, uint32_t& type,
                           std::vector<uint8_t>& data);
uint32_t RegistryEnumKey(RegistryHandle key, uint32_t index, std::string& name);
// One value by its name (compared without case), whole; kRegNotFound when
// the key has no such value.
uint32_t RegistryQueryValue(RegistryHandle key, const char* name, uint32_t& type, std::vector<uint8_t>& data);
uint32_t RegistrySetValue(RegistryHandle key, const char* name, uint32_t type, const void* data, uint32_t size);
// Deletes a key that has no sub-keys.
uint32_t RegistryDeleteKey(RegistryHandle parent, const char* name);

// Makes a key behave as one whose permissions let this user only read it
// (opening it for changes and deleting it are refused), so that the handling
// of such keys can be exercised. Only the in-memory store supports it;
// false elsewhere.
bool RegistryMakeReadOnly(RegistryHandle key);

} // namespace kx
