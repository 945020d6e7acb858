#include "Shared/source/RegistryKey.h"

#include <cstring>

namespace
{

bool SameName(const std::string& a, const char* b)
{
    size_t n = std::strlen(b);
    if (a.size() != n)
        return false;
    for (size_t i = 0; i < n; ++i)
    {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z')
            x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z')
            y = static_cast<char>(y - 'A' + 'a');
        if (x != y)
            return false;
    }
    return true;
}

} // namespace

CRegistryValue::CRegistryValue(CRegistryKey* owner, const char* name)
    : m_name(name != nullptr ? name : ""), m_pOwner(owner)
{
}

void CRegistryValue::Write(uint32_t type, const void* data, uint32_t size)
{
    if (m_pOwner == nullptr || (m_pOwner->GetMode() & CRegistryKey::kLoading) != 0 || m_name.empty())
    {
        return;
    }
    m_pOwner->EnsureOpen(kx::kRegSetValue);
    if (m_pOwner->GetHandle() != 0 &&
        kx::RegistrySetValue(m_pOwner->GetHandle(), m_name.c_str(), type, data, size) == kx::kRegOk)
    {
        m_bWritten = true;
    }
    m_pOwner->CloseIfOnDemand();
}

void CRegistryValue::SetString(const char* text)
{
    m_nType = kx::kRegString;
    m_text = text != nullptr ? text : "";
    Write(kx::kRegString, m_text.c_str(), static_cast<uint32_t>(m_text.size() + 1));
}

void CRegistryValue::SetDword(uint32_t value)
{
    m_nType = kx::kRegDword;
    m_nNumber = value;
    // The registry's double words are little-endian.
    uint8_t bytes[4] = {uint8_t(value), uint8_t(value >> 8), uint8_t(value >> 16), uint8_t(value >> 24)};
    Write(kx::kRegDword, bytes, 4);
}

void CRegistryValue::SetBinary(const void* bytes, uint32_t n)
{
    if (n == 0 || bytes == nullptr)
        return;
    m_nType = kx::kRegBinary;
    const uint8_t* p = static_cast<const uint8_t*>(bytes);
    m_bytes.assign(p, p + n);
    Write(kx::kRegBinary, m_bytes.data(), n);
}

void CRegistryValue::SetMultiString(const void* bytes, uint32_t n, bool keepType)
{
    if (bytes == nullptr && n != 0)
        return;
    const char* p = static_cast<const char*>(bytes);
    if (!keepType)
    {
        m_nType = kx::kRegMultiString;
        m_strings.clear();
        uint32_t start = 0;
        for (uint32_t i = 0; i < n; ++i)
        {
            if (p[i] == '\0')
            {
                m_strings.emplace_back(p + start, i - start);
                start = i + 1;
            }
        }
        if (start < n)
            m_strings.emplace_back(p + start, n - start); // unterminated last string
        // The list's closing NUL is no further (empty) string.
        if (n > 2 && !m_strings.empty() && m_strings.back().empty())
            m_strings.pop_back();
    }
    Write(kx::kRegMultiString, bytes, n);
}

CRegistryKey::CRegistryKey(uint32_t mode) : m_nMode(mode)
{
}

CRegistryKey::~CRegistryKey()
{
    Close();
}

bool CRegistryKey::Open(kx::RegistryHandle parent, const char* name, uint32_t access, bool reopen)
{
    const char* newName = name != nullptr ? name : "";
    if (!reopen)
    {
        bool differs = !m_bHasName || !SameName(m_name, newName);
        if (m_bHasName && differs)
        {
            m_values.clear();
            m_name.clear();
            m_bHasName = false;
        }
        if (differs)
        {
            m_name = newName;
            m_bHasName = true;
        }
        m_parent = parent;
    }
    Close();
    uint32_t mask = access;
    if ((m_nMode & kOnDemand) != 0 && !reopen)
    {
        mask = kx::kRegQueryValue | kx::kRegCreateSubKey;
    }
    else if ((m_nMode & kCreate) != 0)
    {
        mask |= kx::kRegCreateSubKey;
    }
    uint32_t rc = (m_nMode & kCreate) != 0 ? kx::RegistryCreateKey(m_parent, m_name.c_str(), mask, m_key)
                                           : kx::RegistryOpenKey(m_parent, m_name.c_str(), mask, m_key);
    if (rc != kx::kRegOk)
    {
        m_key = 0;
        return false;
    }
    return reopen ? true : LoadValues();
}

bool CRegistryKey::EnsureOpen(uint32_t access)
{
    if (m_key != 0 || (m_nMode & kOnDemand) == 0)
        return true;
    return Open(m_parent, m_name.c_str(), access, true);
}

void CRegistryKey::CloseIfOnDemand()
{
    if ((m_nMode & kOnDemand) != 0)
        Close();
}

bool CRegistryKey::LoadValues()
{
    EnsureOpen(kx::kRegQueryValue);
    if (m_key == 0)
        return false;
    uint32_t count = 0;
    kx::RegistryValueCount(m_key, count);
    const uint32_t mode = m_nMode;
    // While loading, assigning the records must not write them back, and the
    // key must stay open across the whole enumeration.
    m_nMode = (m_nMode | kLoading) & ~uint32_t(kOnDemand);
    for (uint32_t i = 0; i < count; ++i)
    {
        std::string name;
        uint32_t type = 0;
        std::vector<uint8_t> data;
        if (kx::RegistryEnumValue(m_key, i, name, type, data) != kx::kRegOk)
            continue;
        const uint32_t size = static_cast<uint32_t>(data.size());
        switch (type)
        {
        case kx::kRegString:
        {
            std::string text(data.begin(), data.end());
            text.resize(std::strlen(text.c_str())); // up to the first NUL
            GetValue(name.c_str()).SetString(text.c_str());
            break;
        }
        case kx::kRegBinary: GetValue(name.c_str()).SetBinary(data.data(), size); break;
        case kx::kRegDword:
            if (size >= 4)
            {
                GetValue(name.c_str())
                    .SetDword(uint32_t(data[0]) | uint32_t(data[1]) << 8 | uint32_t(data[2]) << 16 |
                              uint32_t(data[3]) << 24);
            }
            break;
        case kx::kRegMultiString: GetValue(name.c_str()).SetMultiString(data.data(), size, false); break;
        default: break;
        }
    }
    m_nMode = mode;
    CloseIfOnDemand();
    return true;
}

CRegistryValue& CRegistryKey::GetValue(const char* name)
{
    const char* wanted = name != nullptr ? name : "";
    for (size_t i = m_values.size(); i > 0; --i)
    {
        if (SameName(m_values[i - 1]->GetName(), wanted))
            return *m_values[i - 1];
    }
    m_values.push_back(std::make_unique<CRegistryValue>(this, wanted));
    return *m_values.back();
}

bool CRegistryKey::DeleteKey()
{
    Close();
    return DeleteKeyRecursive(m_parent, m_name.c_str());
}

bool CRegistryKey::DeleteKeyRecursive(kx::RegistryHandle parent, const char* name)
{
    if (parent == 0 || name == nullptr || *name == '\0')
        return false;
    kx::RegistryHandle key = 0;
    if (kx::RegistryOpenKey(parent, name, 0x2000E, key) != kx::kRegOk)
        return false;
    bool ok = true;
    for (;;)
    {
        std::string child;
        uint32_t rc = kx::RegistryEnumKey(key, 0, child);
        if (rc == kx::kRegNoMoreItems)
            break;
        // A sub-key that stays would come back first for ever: give up instead.
        if (rc != kx::kRegOk || !DeleteKeyRecursive(key, child.c_str()))
        {
            ok = false;
            break;
        }
    }
    kx::RegistryCloseKey(key);
    return ok && kx::RegistryDeleteKey(parent, name) == kx::kRegOk;
}

void CRegistryKey::Close()
{
    if (m_key != 0)
    {
        kx::RegistryCloseKey(m_key);
        m_key = 0;
    }
}
