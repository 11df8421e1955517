#include "script/run_lifecycle_win32.h"

#include <windows.h>

#include "platform/file_system.h"
#include "platform/registry.h"
#include "platform/unique_handle.h"
#include "platform/wide_text.h"
#include "script/run_end.h"

namespace kaviro::script {

namespace {

constexpr const char* kRunOnceKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunOnce";

class Win32RunLifecycleHost final : public RunLifecycleHost {
  public:
    bool FileExists(const std::string& path) override { return platform::FileExists(path); }

    bool CreateEmptyFile(const std::string& path) override {
        const platform::UniqueFileHandle file(CreateFileW(platform::Widen(path).c_str(), GENERIC_WRITE, 0, nullptr,
                                                          CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        return file.Valid();
    }

    void RemoveFile(const std::string& path) override {
        // A marker that cannot be deleted only makes the next start of the
        // same build quit; there is nobody to tell at the end of the run.
        (void)platform::DeleteFileIfPresent(path);
    }

    void DeleteResumeEntry(const std::string& valueName) override {
        for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
            HKEY key = nullptr;
            // A missing key, or no right to change the machine's key, means
            // there is no entry of ours to remove.
            if (RegOpenKeyExA(root, kRunOnceKey, 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS)
                continue;
            const platform::UniqueResource<platform::RegistryKeyTraits> owned(key);
            // A missing value is the usual case: nothing was scheduled.
            (void)RegDeleteValueA(key, valueName.c_str());
        }
    }

    bool SetupMediaRemoved(const std::string& setupFolder) override {
        const std::string root = DriveRootOf(setupFolder);
        if (root.empty())
            return false;
        if (GetDriveTypeW(platform::Widen(root).c_str()) == DRIVE_FIXED)
            return false;
        return !platform::FolderExists(setupFolder);
    }
};

}  // namespace

std::unique_ptr<RunLifecycleHost> MakeRunLifecycleHost() {
    return std::make_unique<Win32RunLifecycleHost>();
}

}  // namespace kaviro::script
