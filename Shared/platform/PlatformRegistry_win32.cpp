#include "Shared/platform/PlatformRegistry.h"

#include <windows.h>

namespace kx
{

namespace
{

HKEY K(RegistryHandle h)
{
    return reinterpret_cast<HKEY>(h);
}
RegistryHandle H(HKEY k)
{
    return reinterpret_cast<RegistryHandle>(k);
}

} // namespace

RegistryHandle RegistryCurrentUser()
{
    return H(HKEY_CURRENT_USER);
}

uint32_t RegistryCreateKey(RegistryHandle parent, const char* name, uint32_t access, RegistryHandle& key)
{
    HKEY result = nullptr;
    LONG rc =
        ::RegCreateKeyExA(K(parent), name, 0, nullptr, REG_OPTION_NON_VOLATILE, access, nullptr, &result, nullptr);
    key = rc == ERROR_SUCCESS ? H(result) : 0;
    return static_cast<uint32_t>(rc);
}

uint32_t RegistryOpenKey(RegistryHandle parent, const char* name, uint32_t access, RegistryHandle& key)
{
    HKEY result = nullptr;
    LONG rc = ::RegOpenKeyExA(K(parent), name, 0, access, &result);
    key = rc == ERROR_SUCCESS ? H(result) : 0;
    return static_cast<uint32_t>(rc);
}

uint32_t RegistryCloseKey(RegistryHandle key)
{
    return static_cast<uint32_t>(::RegCloseKey(K(key)));
}

uint32_t RegistryValueCount(RegistryHandle key, uint32_t& count)
{
    DWORD values = 0;
    LONG rc = ::RegQueryInfoKeyA(K(key), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values, nullptr,
                                 nullptr, nullptr, nullptr);
    count = rc == ERROR_SUCCESS ? values : 0;
    return static_cast<uint32_t>(rc);
}

uint32_t RegistryEnumValue(RegistryHandle key, uint32_t index, std::string& name, uint32_t& type,
                           std::vector<uint8_t>& data)
{
    DWORD maxName = 0, maxData = 0;
    LONG rc = ::RegQueryInfoKeyA(K(key), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &maxName,
                                 &maxData, nullptr, nullptr);
    if (rc != ERROR_SUCCESS)
        return static_cast<uint32_t>(rc);
    std::vector<char> nameBuffer(maxName + 2);
    data.assign(maxData + 1, 0);
    DWORD nameLength = static_cast<DWORD>(nameBuffer.size());
    DWORD dataLength = static_cast<DWORD>(data.size());
    DWORD valueType = 0;
    rc = ::RegEnumValueA(K(key), index, nameBuffer.data(), &nameLength, nullptr, &valueType, data.data(), &dataLength);
    if (rc != ERROR_SUCCESS)
        return static_cast<uint32_t>(rc);
    name.assign(nameBuffer.data(), nameLength);
    data.resize(dataLength);
    type = valueType;
    return kRegOk;
}

uint32_t RegistryEnumKey(RegistryHandle key, uint32_t index, std::string& name)
{
    DWORD maxName = 0;
    LONG rc = ::RegQueryInfoKeyA(K(key), nullptr, nullptr, nullptr, nullptr, &maxName, nullptr, nullptr, nullptr,
                                 nullptr, nullptr, nullptr);
    if (rc != ERROR_SUCCESS)
        return static_cast<uint32_t>(rc);
    std::vector<char> buffer(maxName + 2);
    DWORD length = static_cast<DWORD>(buffer.size());
    rc = ::RegEnumKeyExA(K(key), index, buffer.data(), &length, nullptr, nullptr, nullptr, nullptr);
    if (rc != ERROR_SUCCESS)
        return static_cast<uint32_t>(rc);
    name.assign(buffer.data(), length);
    return kRegOk;
}

uint32_t RegistryQueryValue(RegistryHandle key, const char* name, uint32_t& type, std::vector<uint8_t>& data)
{
    DWORD valueType = 0;
    DWORD size = 0;
    LONG rc = ::RegQueryValueExA(K(key), name, nullptr, &valueType, nullptr, &size);
    if (rc != ERROR_SUCCESS)
        return static_cast<uint32_t>(rc);
    // the value may grow between the two calls; the second one then reports it
    data.assign(size + 1, 0);
    size = static_cast<DWORD>(data.size());
    rc = ::RegQueryValueExA(K(key), name, nullptr, &valueType, data.data(), &size);
    if (rc != ERROR_SUCCESS)
        return static_cast<uint32_t>(rc);
    data.resize(size);
    type = valueType;
    return kRegOk;
}

uint32_t RegistrySetValue(RegistryHandle key, const char* name, uint32_t type, const void* data, uint32_t size)
{
    return static_cast<uint32_t>(::RegSetValueExA(K(key), name, 0, type, static_cast<const BYTE*>(data), size));
}

uint32_t RegistryDeleteKey(RegistryHandle parent, const char* name)
{
    return static_cast<uint32_t>(::RegDeleteKeyA(K(parent), name));
}

bool RegistryMakeReadOnly(RegistryHandle)
{
    return false;
}

} // namespace kx
