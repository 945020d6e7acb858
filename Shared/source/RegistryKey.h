#pragma once
// A registry key with the records of its values, for the editor's settings
// and the stored profile of the UI toolkit. Values are read once when the key
// is first opened; assigning a value writes it through at once. An
// open-on-demand key holds no handle between uses.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "Shared/platform/PlatformRegistry.h"

class CRegistryKey;

class CRegistryValue
{
public:
    CRegistryValue(CRegistryKey* owner, const char* name);
    virtual ~CRegistryValue() = default;
    CRegistryValue(const CRegistryValue&) = delete;
    CRegistryValue& operator=(const CRegistryValue&) = delete;

    void SetString(const char* text);
    void SetDword(uint32_t value);
    // Nothing for n = 0.
    void SetBinary(const void* bytes, uint32_t n);
    // bytes: NUL-separated strings. Unless keepType is set the value becomes a
    // multi-string and its list is rebuilt from the bytes.
    void SetMultiString(const void* bytes, uint32_t n, bool keepType);

    const char* GetName() const { return m_name.c_str(); }
    // 0 until set; else kRegString, kRegBinary, kRegDword or kRegMultiString.
    uint32_t GetType() const { return m_nType; }
    bool IsValid() const { return m_bValid; }
    // True once a value was stored in the registry.
    bool IsWritten() const { return m_bWritten; }
    uint32_t GetDword() const { return m_nNumber; }
    const std::string& GetString() const { return m_text; }
    const std::vector<uint8_t>& GetBinary() const { return m_bytes; }
    const std::vector<std::string>& GetStrings() const { return m_strings; }

private:
    void Write(uint32_t type, const void* data, uint32_t size);

    std::string m_name;
    uint32_t m_nType = 0;
    CRegistryKey* m_pOwner;
    bool m_bValid = true;
    bool m_bWritten = false;
    uint32_t m_nNumber = 0;
    std::string m_text;
    std::vector<uint8_t> m_bytes;
    std::vector<std::string> m_strings;
};

class CRegistryKey
{
public:
    enum : uint32_t
    {
        kCreate = 1,   // create the key when it does not exist
        kOnDemand = 2, // open for each read or write, close again after
        kLoading = 8,  // values are being read: assigning them writes nothing
    };

    explicit CRegistryKey(uint32_t mode = 0);
    virtual ~CRegistryKey();
    CRegistryKey(const CRegistryKey&) = delete;
    CRegistryKey& operator=(const CRegistryKey&) = delete;

    // Opens (or with kCreate creates) parent\name. Opening a different name
    // drops the value records of the old one; a first open loads the values.
    bool Open(kx::RegistryHandle parent, const char* name, uint32_t access, bool reopen = false);
    // Opens an open-on-demand key again; true at once for other keys.
    bool EnsureOpen(uint32_t access);
    void CloseIfOnDemand();
    bool LoadValues();
    // The record of a value (names compare without case), added when new.
    CRegistryValue& GetValue(const char* name);
    // Deletes this key with everything below it.
    bool DeleteKey();
    // Deletes parent\name with all its sub-keys. Stops at the first part that
    // cannot be deleted and answers false; a key that cannot be opened is left
    // alone.
    static bool DeleteKeyRecursive(kx::RegistryHandle parent, const char* name);
    void Close();

    kx::RegistryHandle GetHandle() const { return m_key; }
    uint32_t GetMode() const { return m_nMode; }
    size_t GetValueCount() const { return m_values.size(); }
    CRegistryValue* GetValueAt(size_t index) const { return index < m_values.size() ? m_values[index].get() : nullptr; }

private:
    kx::RegistryHandle m_key = 0;
    uint32_t m_nMode;
    kx::RegistryHandle m_parent = 0;
    std::string m_name;
    bool m_bHasName = false;
    std::vector<std::unique_ptr<CRegistryValue>> m_values;
};
