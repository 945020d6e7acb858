#include "framework/core/CString.h"

// The native build carries no resources: every string comes from the table.
bool CString::LoadResourceString(UINT)
{
    return false;
}
