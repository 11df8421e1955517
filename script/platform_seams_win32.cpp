#include <shlobj.h>
#include <windows.h>

#include <array>
#include <ctime>

#include "platform/registry.h"
#include "platform/window.h"
#include "script/platform_seams.h"
#include "script/run_lifecycle_win32.h"

namespace kaviro::script {

namespace {

class MessageBoxReportHost final : public ReportHost {
  public:
    explicit MessageBoxReportHost(std::function<std::string()> caption) : caption_(std::move(caption)) {}
    void ShowFatalError(const std::string& text) override {
        platform::ShowMessageBox(nullptr, text, caption_(), MB_OK | MB_ICONERROR);
    }
    void ShowError(const std::string& text) override {
        platform::ShowMessageBox(GetActiveWindow(), text, caption_(), MB_OK | MB_ICONERROR);
    }

  private:
    std::function<std::string()> caption_;
};

class ThreadMessagePump final : public MessagePump {
  public:
    void ProcessPendingMessages() override {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) Dispatch(message);
    }
    void WaitOneMessage() override {
        MSG message;
        if (GetMessageA(&message, nullptr, 0, 0) > 0)
            Dispatch(message);
    }

  private:
    static void Dispatch(const MSG& message) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
};

class SystemClock final : public Clock {
  public:
    int64_t WallClockSeconds() override { return static_cast<int64_t>(std::time(nullptr)); }
    std::string ShortDate() override { return Format(false); }
    std::string LongTime() override { return Format(true); }
    uint32_t TickCount() override { return GetTickCount(); }

  private:
    static std::string Format(bool time) {
        std::array<char, 128> buffer{};
        const int length = time ? GetTimeFormatA(LOCALE_USER_DEFAULT, 0, nullptr, nullptr, buffer.data(),
                                                 static_cast<int>(buffer.size()))
                                : GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, nullptr, nullptr,
                                                 buffer.data(), static_cast<int>(buffer.size()));
        return length > 0 ? std::string(buffer.data()) : std::string();
    }
};

std::string ReadRegistryText(HKEY root, const char* subKey, const char* name, REGSAM view = KEY_WOW64_64KEY) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, subKey, 0, KEY_QUERY_VALUE | view, &key) != ERROR_SUCCESS)
        return {};
    const platform::UniqueResource<platform::RegistryKeyTraits> owned(key);
    std::array<char, 1024> buffer{};
    DWORD size = static_cast<DWORD>(buffer.size() - 1);
    DWORD type = 0;
    if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &size) !=
            ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ)) {
        return {};
    }
    return std::string(buffer.data());
}

std::string ShellFolder(int folder) {
    std::array<char, MAX_PATH> buffer{};
    if (SHGetFolderPathA(nullptr, folder, nullptr, SHGFP_TYPE_CURRENT, buffer.data()) != S_OK)
        return {};
    return std::string(buffer.data());
}

std::string ProgramFilesFolder() {
    return ShellFolder(CSIDL_PROGRAM_FILES);
}

bool RunsAsElevatedAdministrator() {
    SID_IDENTIFIER_AUTHORITY authority = SECURITY_NT_AUTHORITY;
    PSID administrators = nullptr;
    if (!AllocateAndInitializeSid(&authority, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS, 0, 0,
                                  0, 0, 0, 0, &administrators)) {
        return false;
    }
    BOOL member = FALSE;
    const bool checked = CheckTokenMembership(nullptr, administrators, &member) != 0;
    FreeSid(administrators);
    return checked && member;
}

}  // namespace

PlatformSeams MakePlatformSeams(std::function<std::string()> caption) {
    PlatformSeams seams;
    seams.report = std::make_unique<MessageBoxReportHost>(std::move(caption));
    seams.pump = std::make_unique<ThreadMessagePump>();
    seams.clock = std::make_unique<SystemClock>();
    seams.lifecycle = MakeRunLifecycleHost();
    return seams;
}

void GatherPlatformFacts(RunFacts& facts) {
    constexpr const char* kCurrentVersion = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";
    facts.userName = ReadRegistryText(HKEY_LOCAL_MACHINE, kCurrentVersion, "RegisteredOwner");
    facts.userCompany = ReadRegistryText(HKEY_LOCAL_MACHINE, kCurrentVersion, "RegisteredOrganization");
    facts.programFilesFolder = ProgramFilesFolder();
    facts.allUsers = RunsAsElevatedAdministrator();
}

CacheRootFacts GatherCacheRootFacts(const std::string& productCode) {
    CacheRootFacts facts;
    // The registration is read in the view the engine writes it in.
    const std::string key = "SOFTWARE\\Talvoris\\Kaviro\\Ident.Cache\\" + productCode;
    facts.identCacheValue = ReadRegistryText(HKEY_LOCAL_MACHINE, key.c_str(), nullptr, 0);
    if (facts.identCacheValue.empty())
        facts.identCacheValue = ReadRegistryText(HKEY_CURRENT_USER, key.c_str(), nullptr, 0);
    facts.commonAppDataFolder = ShellFolder(CSIDL_COMMON_APPDATA);
    facts.localAppDataFolder = ShellFolder(CSIDL_LOCAL_APPDATA);
    facts.roamingAppDataFolder = ShellFolder(CSIDL_APPDATA);
    facts.desktopFolder = ShellFolder(CSIDL_DESKTOPDIRECTORY);
    return facts;
}

}  // namespace kaviro::script
