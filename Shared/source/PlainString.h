#pragma once
// An owning byte string of one pointer, for texts the engine builds without
// the framework's string (register names, command texts, system errors).
// It always owns a buffer: the empty string is a lone NUL.

#include "framework/core/CString.h"

class CPlainString
{
public:
    CPlainString();
    CPlainString(const CString& text);
    CPlainString(const char* text);
    CPlainString(const CPlainString& other);
    ~CPlainString();

    CPlainString& operator=(const CPlainString& other);
    CPlainString& operator=(const char* text);

    // A negative length takes the text's own length (0 for no text).
    void Assign(const char* text, int length = -1);
    // Nothing for no text or an empty one.
    void Append(const char* text);
    int GetLength() const;

    const char* GetText() const { return m_pText; }
    operator const char*() const { return m_pText; }

private:
    char* m_pText;
};
