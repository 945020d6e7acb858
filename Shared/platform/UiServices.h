#pragma once
// The few prompts the engine shows (message boxes, file prompts) go through
// this hook so that the engine runs without a user interface: the default
// writes each prompt to the standard error stream and answers "No" or
// nothing; the editor installs real dialogs, tests install scripted answers.

#include <string>

namespace kx
{

enum class MessageButtons
{
    Ok,
    OkCancel,
    YesNo,
    YesNoCancel
};
enum class MessageIcon
{
    None,
    Information,
    Warning,
    Error,
    Question
};
enum class MessageResult
{
    Ok,
    Cancel,
    Yes,
    No
};

class UiServices
{
public:
    virtual ~UiServices() = default;
    // owner: an opaque window of the editor, or nullptr for none.
    virtual MessageResult ShowMessage(void* owner, const char* text, const char* caption, MessageButtons buttons,
                                      MessageIcon icon) = 0;
    // Asks for an existing file; filter in the "Text|*.ext|...||" form.
    // False when the user gave none.
    virtual bool PromptOpenFile(void* owner, const char* title, const char* filter, const std::string& initialPath,
                                std::string& chosen) = 0;
    virtual bool PromptFolder(void* owner, const char* title, const std::string& initialFolder,
                              std::string& chosen) = 0;
};

// The headless services: log and decline.
class HeadlessUiServices : public UiServices
{
public:
    MessageResult ShowMessage(void* owner, const char* text, const char* caption, MessageButtons buttons,
                              MessageIcon icon) override;
    bool PromptOpenFile(void* owner, const char* title, const char* filter, const std::string& initialPath,
                        std::string& chosen) override;
    bool PromptFolder(void* owner, const char* title, const std::string& initialFolder, std::string& chosen) override;
};

// The services in force (the headless ones until others are installed).
UiServices& GetUiServices();
// Installs services not owned by this layer; nullptr restores the headless
// ones. Returns the services installed before.
UiServices* SetUiServices(UiServices* services);

} // namespace kx
