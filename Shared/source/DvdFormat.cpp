#include "Shared/source/DvdFormat.h"

#include <cstdarg>
#include <cstring>

#include "Shared/source/DvdProgress.h"

CString FormatString(const char* format, ...)
{
    CString text;
    va_list args;
    va_start(args, format);
    text.FormatV(format, args);
    va_end(args);
    return text;
}

void PrintfToSink(CDvdProgress* progress, const char* format, ...)
{
    if (progress == nullptr)
        return;
    CString text;
    va_list args;
    va_start(args, format);
    text.FormatV(format, args);
    va_end(args);
    progress->SetText(text);
}

const char* SourceFileName(const char* path)
{
    if (path == nullptr)
        return "";
    const char* slash = std::strrchr(path, '/');
    if (slash != nullptr)
        return slash + 1;
    const char* backslash = std::strrchr(path, '\\');
    return backslash != nullptr ? backslash + 1 : path;
}

CString FormatLocation(const char* fileName, int line)
{
    return FormatString("%d:%s", line, fileName != nullptr ? fileName : "");
}
