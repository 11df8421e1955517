// kaviro-form: the authors' tool for dialog files.
//
//   kaviro-form compile DIALOG.txt DIALOG.dfm   text form -> compiled dialog file
//   kaviro-form print DIALOG.dfm [DIALOG.txt]   compiled dialog file -> text form (stdout without a target)
//
// Exit code 0 on success, 1 when a file cannot be read, written or compiled
// (the reason goes to stderr), 2 for a wrong command line.

#include <cstdio>
#include <exception>
#include <fstream>
#include <iostream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

#include "ui/form_text_compiler.h"
#include "ui/form_text_printer.h"

namespace {

std::string ReadFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        throw std::runtime_error("cannot open " + path);
    }
    std::ostringstream content;
    content << file.rdbuf();
    if (file.bad()) {
        throw std::runtime_error("cannot read " + path);
    }
    return content.str();
}

void WriteFile(const std::string& path, std::string_view content) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(content.data(), static_cast<std::streamsize>(content.size()));
    file.close();
    if (!file) {
        throw std::runtime_error("cannot write " + path);
    }
}

int Usage() {
    std::cerr << "usage: kaviro-form compile DIALOG.txt DIALOG.dfm\n"
                 "       kaviro-form print DIALOG.dfm [DIALOG.txt]\n";
    return 2;
}

int Run(const std::vector<std::string>& args) {
    if (args.size() == 3 && args[0] == "compile") {
        const std::vector<std::uint8_t> compiled = kaviro::ui::CompileTextForm(ReadFile(args[1]), args[1]);
        WriteFile(args[2], std::string_view(reinterpret_cast<const char*>(compiled.data()), compiled.size()));
        return 0;
    }
    if ((args.size() == 2 || args.size() == 3) && args[0] == "print") {
        const std::string compiled = ReadFile(args[1]);
        std::string text;
        try {
            text = kaviro::ui::PrintDialogFile(
                std::span(reinterpret_cast<const std::uint8_t*>(compiled.data()), compiled.size()));
        } catch (const kaviro::ui::DialogFileError& error) {
            throw std::runtime_error(args[1] + ": " + error.what());
        }
        if (args.size() == 3) {
            WriteFile(args[2], text);
        } else {
#ifdef _WIN32
            // The text already ends its lines in CRLF; text mode would double the CR.
            _setmode(_fileno(stdout), _O_BINARY);
#endif
            std::cout << text;
        }
        return 0;
    }
    return Usage();
}

}  // namespace

int main(int argc, char** argv) {
    // The process edge: every failure becomes a message and an exit code.
    try {
        return Run(std::vector<std::string>(argv + 1, argv + argc));
    } catch (const std::exception& error) {
        std::cerr << "kaviro-form: " << error.what() << "\n";
        return 1;
    }
}
