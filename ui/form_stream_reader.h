#pragma once
// Reader of compiled dialog files: the resource header, then a form stream in
// the binary component format ("TPF0").
//
//   dialog file  := 0xFF 0x0A 0x00 name 0x00 memoryFlags:u16 streamSize:u32 formStream
//   formStream   := "TPF0" component
//   component    := [0xF0|flags [childPosition:integer]] className:short name:short
//                   property* 0x00 component* 0x00
//   property     := name:short value
//   value        := typeByte payload   (see ValueType)
//
// Every length is checked against the bytes that remain, nesting is capped
// at kMaxFormNesting, the number of items at kMaxFormItems, and only registered classes may appear below the
// root. Failures raise DialogFileError.

#include <cstddef>
#include <cstdint>
#include <span>

#include "ui/component_tree.h"
#include "ui/dialog_file_error.h"

namespace kaviro::ui {

// Deepest nesting of components, lists and collections the reader accepts.
inline constexpr int kMaxFormNesting = 64;

// Most components, properties, values, set elements and collection items one
// form may hold; real dialogs hold a few hundred. It bounds the memory a
// small but dense stream can make the reader allocate.
inline constexpr std::size_t kMaxFormItems = 200000;

// Reads a whole dialog file (resource header and form stream).
[[nodiscard]] DialogFile ReadDialogFile(std::span<const std::uint8_t> bytes);

// Reads a bare form stream starting with "TPF0"; trailing bytes are ignored.
[[nodiscard]] Component ReadFormStream(std::span<const std::uint8_t> bytes);

}  // namespace kaviro::ui
