// Fuzzes the dialog file reader. A file that reads must write back to a file
// that reads as the same tree, and its text form must be a fixed point of
// compiling and printing.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "ui/form_stream_reader.h"
#include "ui/form_stream_writer.h"
#include "ui/form_text_compiler.h"
#include "ui/form_text_printer.h"

using namespace kaviro::ui;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    DialogFile file;
    try {
        file = ReadDialogFile(std::span(data, size));
    } catch (const DialogFileError&) {
        return 0;  // rejected input is the expected outcome for most mutations
    }
    if (ReadDialogFile(WriteDialogFile(file)) != file) {
        std::abort();
    }
    std::string text;
    try {
        text = PrintTextForm(file.root);
    } catch (const DialogFileError&) {
        return 0;  // names the text form cannot hold
    }
    try {
        if (PrintTextForm(ParseTextForm(text, "printed")) != text) {
            std::abort();
        }
    } catch (const DialogFileError&) {
        // The text form counts nesting a little differently from the stream;
        // a tree at the very limit may not compile back, which is harmless.
    }
    return 0;
}
