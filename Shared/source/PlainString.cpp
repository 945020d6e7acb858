#include "Shared/source/PlainString.h"

#include <cstring>

CPlainString::CPlainString() : m_pText(nullptr)
{
    Assign(nullptr);
}

CPlainString::CPlainString(const CString& text) : m_pText(nullptr)
{
    Assign(text, text.GetLength());
}

CPlainString::CPlainString(const char* text) : m_pText(nullptr)
{
    Assign(text);
}

CPlainString::CPlainString(const CPlainString& other) : m_pText(nullptr)
{
    Assign(other.m_pText);
}

CPlainString::~CPlainString()
{
    delete[] m_pText;
}

CPlainString& CPlainString::operator=(const CPlainString& other)
{
    if (this != &other)
        Assign(other.m_pText);
    return *this;
}

CPlainString& CPlainString::operator=(const char* text)
{
    // The text may be this string's own buffer: copy before freeing.
    if (text != m_pText)
        Assign(text);
    return *this;
}

void CPlainString::Assign(const char* text, int length)
{
    size_t n = 0;
    if (text != nullptr)
        n = length < 0 ? std::strlen(text) : static_cast<size_t>(length);
    char* buffer = new char[n + 1];
    if (n > 0)
        std::memcpy(buffer, text, n);
    buffer[n] = '\0';
    delete[] m_pText;
    m_pText = buffer;
}

void CPlainString::Append(const char* text)
{
    if (text == nullptr || *text == '\0')
        return;
    size_t old = std::strlen(m_pText);
    size_t add = std::strlen(text);
    char* buffer = new char[old + add + 1];
    std::memcpy(buffer, m_pText, old);
    std::memcpy(buffer + old, text, add + 1);
    delete[] m_pText;
    m_pText = buffer;
}

int CPlainString::GetLength() const
{
    return static_cast<int>(std::strlen(m_pText));
}
