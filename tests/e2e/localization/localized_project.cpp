#include "tests/e2e/localization/localized_project.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>

namespace kaviro::e2e {

namespace fs = std::filesystem;

std::string Statement(const std::string& name, const std::vector<std::string>& parameters,
                      const std::string& label) {
    std::string text = name + "\n";
    if (!label.empty())
        text += "    @name " + label + "\n";
    for (const std::string& parameter : parameters)
        text += parameter.empty() ? "    |\n" : "    | " + parameter + "\n";
    return text;
}

std::string WriteResult(const std::string& text) {
    return Statement("Write to Text File", {"$TEMPDIR$result.txt", text, ""});
}

std::string BuildLocalizedSetup(const Scratch& scratch, const LocalizedProject& project) {
    const std::string folder = scratch.Path() + "/project";
    fs::create_directories(folder + "/translations");
    fs::copy_file(SourceDir() + "/sample/product.wxs", folder + "/product.wxs",
                  fs::copy_options::overwrite_existing);
    fs::create_directories(folder + "/files");
    fs::copy_file(SourceDir() + "/sample/files/timesheet.ini", folder + "/files/timesheet.ini",
                  fs::copy_options::overwrite_existing);
    std::string settings = std::string("[setup]\n") +
                           "product code     = {6A0D4C2E-91B7-4F3A-8E55-2C7B9D14E0A8}\n"
                           "title            = Localized Test\n"
                           "version          = 1.0.0\n"
                           "company          = Harbour Lane Software\n"
                           "default language = " + project.defaultLanguage + "\n" +
                           "language prompt  = " + (project.languagePrompt ? "TRUE" : "FALSE") + "\n" +
                           "output name      = " + kLocalizedBaseName + "\n" +
                           "script           = setup.kvs\n"
                           "wxs file         = product.wxs\n";
    if (!project.components.empty()) {
        settings += "[components]\n";
        for (const auto& [name, size] : project.components) settings += name + " = " + size + "\n";
    }
    if (!project.translations.empty()) {
        settings += "[translations]\n";
        for (const auto& [language, source] : project.translations) {
            WriteFileBytes(folder + "/translations/" + language + ".txt", source);
            settings += language + " = translations/" + language + ".txt\n";
        }
    }
    WriteFileBytes(folder + "/project.ini", settings);
    WriteFileBytes(folder + "/setup.kvs", project.script);
    const std::string out = scratch.Path() + "/out";
    const std::string command = "'" + HostDistDir() + "/kaviro-build' '" + folder + "' --out '" + out +
                                "' --engine '" + DistDir() + "/engine.exe' --oru '" + DistDir() +
                                "/oru.lib' > '" + scratch.Path() + "/build.log' 2>&1";
    EXPECT_EQ(std::system(command.c_str()), 0) << ReadFileBytes(scratch.Path() + "/build.log");
    return out + "/" + kLocalizedBaseName + ".exe";
}

RunRequest LocalizedSetupRequest(const Scratch& scratch, const std::string& setup,
                                 std::vector<std::string> arguments) {
    const std::string tracePath = scratch.Path() + "/trace.txt";
    fs::remove(tracePath);
    fs::remove(scratch.Temp() + "/result.txt");
    fs::create_directories(scratch.Temp());
    RunRequest request;
    request.program = setup;
    request.arguments = std::move(arguments);
    request.arguments.push_back("/l=" + ToWindowsPath(tracePath));
    request.timeout = std::chrono::seconds(90);
    scratch.UseAsTemp(request.environment);
    return request;
}

SetupRun CollectRun(const Scratch& scratch, RunResult run) {
    SetupRun result;
    result.run = std::move(run);
    const std::string tracePath = scratch.Path() + "/trace.txt";
    if (FileExists(tracePath))
        result.trace = ReadUtf16Lines(tracePath);
    result.result = ReadTextLines(scratch.Temp() + "/result.txt");
    return result;
}

SetupRun RunLocalizedSetup(const Scratch& scratch, const std::string& setup, std::vector<std::string> arguments) {
    return CollectRun(scratch, RunUnderWine(LocalizedSetupRequest(scratch, setup, std::move(arguments))));
}

}  // namespace kaviro::e2e
