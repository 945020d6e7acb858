#pragma once
// printf-style texts for the sinks, and the location text that every error
// and warning carries ("<line>:<file name>").

#include "framework/core/CString.h"

class CDvdProgress;

// Formats whatever the length of the result.
CString FormatString(const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;

// Formats like FormatString and passes the text to the sink's SetText;
// nothing when there is no sink.
void PrintfToSink(CDvdProgress* progress, const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 2, 3)))
#endif
    ;

// The file name part of a source path: the text after the last '/', or when
// there is none after the last '\\', or the whole text.
const char* SourceFileName(const char* path);

CString FormatLocation(const char* fileName, int line);

// The location of the line that uses it.
#define DVD_LOCATION FormatLocation(SourceFileName(__FILE__), __LINE__)
