// Fuzzes the text form compiler: any text either fails with DialogFileError
// or compiles to a file that reads back, and printing is a fixed point.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "ui/form_stream_reader.h"
#include "ui/form_text_compiler.h"
#include "ui/form_text_printer.h"

using namespace kaviro::ui;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    std::vector<std::uint8_t> compiled;
    try {
        compiled = CompileTextForm(text, "fuzz");
    } catch (const DialogFileError&) {
        return 0;  // malformed text is reported, which is all that is asked
    }
    const DialogFile file = ReadDialogFile(compiled);  // must not throw: the compiler wrote it
    try {
        const std::string printed = PrintTextForm(file.root);
        if (PrintTextForm(ParseTextForm(printed, "printed")) != printed) {
            std::abort();
        }
    } catch (const DialogFileError&) {
        // see dialog_file_reader_fuzzer.cpp: trees at the nesting limit
    }
    return 0;
}
