#include "Shared/platform/UiServices.h"

#include <atomic>
#include <cstdio>

namespace kx
{

namespace
{

const char* Text(const char* s)
{
    return s != nullptr ? s : "";
}

HeadlessUiServices& Headless()
{
    static HeadlessUiServices services;
    return services;
}

std::atomic<UiServices*>& Installed()
{
    static std::atomic<UiServices*> services{nullptr};
    return services;
}

} // namespace

MessageResult HeadlessUiServices::ShowMessage(void*, const char* text, const char* caption, MessageButtons buttons,
                                              MessageIcon)
{
    std::fprintf(stderr, "[%s] %s\n", Text(caption), Text(text));
    switch (buttons)
    {
    case MessageButtons::Ok: return MessageResult::Ok;
    case MessageButtons::OkCancel: return MessageResult::Cancel;
    case MessageButtons::YesNo:
    case MessageButtons::YesNoCancel: return MessageResult::No;
    }
    return MessageResult::No;
}

bool HeadlessUiServices::PromptOpenFile(void*, const char* title, const char*, const std::string&, std::string&)
{
    std::fprintf(stderr, "[%s] no file chosen\n", Text(title));
    return false;
}

bool HeadlessUiServices::PromptFolder(void*, const char* title, const std::string&, std::string&)
{
    std::fprintf(stderr, "[%s] no folder chosen\n", Text(title));
    return false;
}

UiServices& GetUiServices()
{
    UiServices* services = Installed().load();
    return services != nullptr ? *services : Headless();
}

UiServices* SetUiServices(UiServices* services)
{
    UiServices* before = Installed().exchange(services);
    return before != nullptr ? before : &Headless();
}

} // namespace kx
