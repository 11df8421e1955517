#pragma once
// Libraries loaded at run time, and functions looked up in them.

#include <windows.h>

#include <cstdint>
#include <span>
#include <string>

#include "platform/unique_handle.h"

namespace kaviro::platform {

struct ModuleTraits {
    using Handle = HMODULE;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle module) { FreeLibrary(module); }
};

class LoadedModule {
  public:
    // LoadLibrary of the path; raises EngineError naming the path on failure.
    static LoadedModule Load(const std::string& path);

    [[nodiscard]] HMODULE Get() const { return module_.Get(); }
    // The function's address, or null when the library has none of that name.
    [[nodiscard]] FARPROC Function(const char* name) const { return GetProcAddress(module_.Get(), name); }

  private:
    explicit LoadedModule(HMODULE module) : module_(module) {}
    UniqueResource<ModuleTraits> module_;
};

// The mapped header pages of a loaded image (its PE headers start there).
[[nodiscard]] std::span<const uint8_t> MappedImageHeaders(HMODULE module);

// A function of an already loaded system library, cast to its type; null when absent.
template <typename Function>
Function LookUpFunction(const wchar_t* moduleName, const char* functionName) {
    const HMODULE module = GetModuleHandleW(moduleName);
    if (!module)
        return nullptr;
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, functionName)));
}

}  // namespace kaviro::platform
