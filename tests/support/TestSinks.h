#pragma once
// Test doubles for the engine's sinks and the UI-services hook: they record
// what the code under test reported so that tests can look at it.

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "Shared/platform/UiServices.h"
#include "Shared/source/DvdLog.h"
#include "Shared/source/DvdProgress.h"

namespace kxtest
{

// A progress sink that keeps every text it was given and can turn cancelled
// after a number of IsCancelled polls (-1: never).
class RecordingProgress : public CDvdProgress
{
public:
    explicit RecordingProgress(int cancelAfterPolls = -1) : m_cancelAfter(cancelAfterPolls) {}

    void SetText(const char* text) override { texts.emplace_back(text != nullptr ? text : ""); }
    uint64_t GetRange() override { return range; }
    uint64_t GetPosition() override { return position; }
    const char* GetText() override { return texts.empty() ? "" : texts.back().c_str(); }
    void SetRange(uint64_t total) override
    {
        range = total;
        position = 0;
        ++rangeCalls;
    }
    void Advance(uint64_t delta) override { position += delta; }
    void SetPosition(uint64_t value) override { position = value; }
    bool IsCancelled() override
    {
        ++polls;
        return m_cancelAfter >= 0 && polls > m_cancelAfter;
    }

    std::vector<std::string> texts;
    uint64_t range = 0;
    uint64_t position = 0;
    int rangeCalls = 0;
    int polls = 0;

private:
    int m_cancelAfter;
};

// A log whose record survives Finish: every report as "<kind letter>:<text>"
// (E error, W warning, C cancel, I information), locations kept beside.
class RecordingLog : public CDvdLog
{
public:
    void Finish() override
    {
        ++finishes;
        CDvdLog::Finish();
    }
    void ReportCancel() override
    {
        lines.emplace_back("C:");
        locations.emplace_back();
        CDvdLog::ReportCancel();
    }
    void ReportError(const char* text, const char* location) override
    {
        Record('E', text, location);
        CDvdLog::ReportError(text, location);
    }
    void ReportWarning(const char* text, const char* location) override
    {
        Record('W', text, location);
        CDvdLog::ReportWarning(text, location);
    }
    void ReportInfo(const char* text, const char* location) override
    {
        Record('I', text, location);
        CDvdLog::ReportInfo(text, location);
    }

    int Count(char kind) const
    {
        int n = 0;
        for (const auto& line : lines)
            n += line[0] == kind;
        return n;
    }
    bool Has(char kind, const std::string& part) const
    {
        for (const auto& line : lines)
        {
            if (line[0] == kind && line.find(part, 2) != std::string::npos)
                return true;
        }
        return false;
    }
    std::string Dump() const
    {
        std::string all;
        for (const auto& line : lines)
            all += line + "\n";
        return all;
    }

    std::vector<std::string> lines;
    std::vector<std::string> locations;
    int finishes = 0;

private:
    void Record(char kind, const char* text, const char* location)
    {
        lines.push_back(std::string(1, kind) + ":" + (text != nullptr ? text : ""));
        locations.emplace_back(location != nullptr ? location : "");
    }
};

// UI services with scripted answers, installed for the life of the object.
// Messages are recorded; unscripted questions are answered No / nothing.
class ScriptedUi : public kx::UiServices
{
public:
    ScriptedUi() : m_before(kx::SetUiServices(this)) {}
    ~ScriptedUi() override { kx::SetUiServices(m_before); }
    ScriptedUi(const ScriptedUi&) = delete;
    ScriptedUi& operator=(const ScriptedUi&) = delete;

    kx::MessageResult ShowMessage(void*, const char* text, const char* caption, kx::MessageButtons buttons,
                                  kx::MessageIcon icon) override
    {
        messages.emplace_back(text != nullptr ? text : "");
        captions.emplace_back(caption != nullptr ? caption : "");
        icons.push_back(icon);
        if (!answers.empty())
        {
            kx::MessageResult answer = answers.front();
            answers.pop_front();
            return answer;
        }
        return buttons == kx::MessageButtons::Ok ? kx::MessageResult::Ok : kx::MessageResult::No;
    }
    bool PromptOpenFile(void*, const char* title, const char*, const std::string&, std::string& chosen) override
    {
        prompts.emplace_back(title != nullptr ? title : "");
        return Take(chosen);
    }
    bool PromptFolder(void*, const char* title, const std::string&, std::string& chosen) override
    {
        prompts.emplace_back(title != nullptr ? title : "");
        return Take(chosen);
    }

    std::deque<kx::MessageResult> answers;
    std::deque<std::string> paths; // answers to file and folder prompts
    std::vector<std::string> messages;
    std::vector<std::string> captions;
    std::vector<kx::MessageIcon> icons;
    std::vector<std::string> prompts;

private:
    bool Take(std::string& chosen)
    {
        if (paths.empty())
            return false;
        chosen = paths.front();
        paths.pop_front();
        return true;
    }
    kx::UiServices* m_before;
};

} // namespace kxtest
