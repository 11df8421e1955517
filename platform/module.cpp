#include "platform/module.h"

#include "platform/wide_text.h"
#include "platform/win32_error.h"

namespace kaviro::platform {

LoadedModule LoadedModule::Load(const std::string& path) {
    const HMODULE module = LoadLibraryW(Widen(path).c_str());
    if (!module)
        ThrowLastError("Cannot load library " + path);
    return LoadedModule(module);
}

std::span<const uint8_t> MappedImageHeaders(HMODULE module) {
    MEMORY_BASIC_INFORMATION region{};
    if (!VirtualQuery(module, &region, sizeof(region)))
        ThrowLastError("Cannot inspect a loaded image");
    const auto* base = reinterpret_cast<const uint8_t*>(module);
    const std::size_t available =
        static_cast<std::size_t>(static_cast<const uint8_t*>(region.BaseAddress) + region.RegionSize - base);
    return {base, available};
}

}  // namespace kaviro::platform
