#include "framework/core/CMap.h"

UINT HashKey(LPCSTR key)
{
    // FNV-1a over the characters.
    UINT nHash = 2166136261u;
    for (const unsigned char* p = (const unsigned char*)(key != nullptr ? key : ""); *p != '\0'; ++p)
    {
        nHash ^= *p;
        nHash *= 16777619u;
    }
    return nHash;
}

UINT HashKey(const CString& key)
{
    return HashKey((LPCSTR)key);
}
