#pragma once
// Registry keys as owned handles, and the value writes the engine needs.

#include <windows.h>

#include <string>

#include "platform/unique_handle.h"

namespace kaviro::platform {

struct RegistryKeyTraits {
    using Handle = HKEY;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle key) { RegCloseKey(key); }
};

class RegistryKey {
  public:
    // Opens or creates root\subKey for writing; raises EngineError on failure.
    static RegistryKey Create(HKEY root, const std::string& subKey, REGSAM extraAccess = 0);

    void SetString(const std::string& name, const std::string& value) const;
    void SetDword(const std::string& name, DWORD value) const;
    [[nodiscard]] HKEY Get() const { return key_.Get(); }

  private:
    explicit RegistryKey(HKEY key, std::string path) : key_(key), path_(std::move(path)) {}
    UniqueResource<RegistryKeyTraits> key_;
    std::string path_;
};

}  // namespace kaviro::platform
