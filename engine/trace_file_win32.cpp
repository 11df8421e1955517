// Trace file writing on Windows: the line in the ANSI code page, widened to
// UTF-16LE, appended through a handle opened for this one line.

#include <windows.h>

#include "engine/trace.h"
#include "platform/unique_handle.h"
#include "platform/wide_text.h"

namespace kaviro {

bool AppendTraceLine(const std::string& path, std::string_view line, bool truncate) {
    platform::UniqueFileHandle file(
        CreateFileW(platform::Widen(path).c_str(), truncate ? GENERIC_WRITE : FILE_APPEND_DATA,
                    FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, truncate ? CREATE_ALWAYS : OPEN_ALWAYS,
                    FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return false;
    const std::wstring text = platform::Widen(std::string(line) + "\r\n");
    DWORD written = 0;
    const DWORD size = static_cast<DWORD>(text.size() * sizeof(wchar_t));
    return WriteFile(file.Get(), text.data(), size, &written, nullptr) && written == size;
}

}  // namespace kaviro
