#include "Shared/source/SystemError.h"

#include <string>

#include "Shared/platform/PlatformFileSystem.h"
#include "Shared/platform/UiServices.h"

CPlainString GetLastErrorText()
{
    std::string text = kx::LastErrorText();
    CPlainString result;
    result.Assign(text.c_str(), static_cast<int>(text.size()));
    return result;
}

void ShowLastError(const char* prefix)
{
    CPlainString text(prefix);
    text.Append(GetLastErrorText());
    kx::GetUiServices().ShowMessage(nullptr, text, "Error", kx::MessageButtons::Ok, kx::MessageIcon::Information);
}
