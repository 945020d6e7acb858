#pragma once
// A private folder below the system's temporary folder for one test, removed
// with the files in it when the object goes away.

#include <atomic>
#include <string>
#include <vector>

#include "Shared/platform/PlatformFileSystem.h"
#include "Shared/platform/PlatformPath.h"
#include "Shared/platform/PlatformThread.h"
#include "Shared/platform/PlatformTime.h"

namespace kxtest
{

class ScratchFolder
{
public:
    ScratchFolder()
    {
        static std::atomic<unsigned> serial{0};
        std::string name = "kxtest-" + std::to_string(kx::MonotonicTicks()) + "-" +
                           std::to_string(kx::PlatformThread::CurrentThreadId()) + "-" + std::to_string(serial++);
        m_path = kx::JoinPath(kx::TempFolder(), name);
        m_created = kx::CreateFolder(m_path);
    }
    ~ScratchFolder()
    {
        std::vector<std::string> names;
        kx::ListFiles(m_path, names);
        for (const auto& n : names)
            kx::RemoveFile(kx::JoinPath(m_path, n));
        kx::RemoveFolder(m_path);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    bool Created() const { return m_created; }
    const std::string& Path() const { return m_path; }
    std::string File(const std::string& name) const { return kx::JoinPath(m_path, name); }

private:
    std::string m_path;
    bool m_created;
};

} // namespace kxtest
