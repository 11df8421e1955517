#include "platform/registry.h"

#include "engine/engine_error.h"
#include "platform/wide_text.h"
#include "platform/win32_error.h"

namespace kaviro::platform {
namespace {

[[noreturn]] void ThrowRegistryError(LSTATUS status, const std::string& what) {
    throw EngineError(what + ": " + Win32ErrorText(static_cast<DWORD>(status)));
}

}  // namespace

RegistryKey RegistryKey::Create(HKEY root, const std::string& subKey, REGSAM extraAccess) {
    HKEY key = nullptr;
    const LSTATUS status = RegCreateKeyExW(root, Widen(subKey).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                           KEY_WRITE | KEY_READ | extraAccess, nullptr, &key, nullptr);
    if (status != ERROR_SUCCESS)
        ThrowRegistryError(status, "Cannot open registry key " + subKey);
    return RegistryKey(key, subKey);
}

void RegistryKey::SetString(const std::string& name, const std::string& value) const {
    const std::wstring wide = Widen(value);
    const LSTATUS status = RegSetValueExW(key_.Get(), Widen(name).c_str(), 0, REG_SZ,
                                          reinterpret_cast<const BYTE*>(wide.c_str()),
                                          static_cast<DWORD>((wide.size() + 1) * sizeof(wchar_t)));
    if (status != ERROR_SUCCESS)
        ThrowRegistryError(status, "Cannot write registry value " + path_ + "\\" + name);
}

void RegistryKey::SetDword(const std::string& name, DWORD value) const {
    const LSTATUS status = RegSetValueExW(key_.Get(), Widen(name).c_str(), 0, REG_DWORD,
                                          reinterpret_cast<const BYTE*>(&value), sizeof(value));
    if (status != ERROR_SUCCESS)
        ThrowRegistryError(status, "Cannot write registry value " + path_ + "\\" + name);
}

}  // namespace kaviro::platform
