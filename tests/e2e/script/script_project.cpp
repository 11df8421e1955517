#include "tests/e2e/script/script_project.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>

namespace kaviro::e2e {

namespace fs = std::filesystem;

std::string BuildScriptSetup(const Scratch& scratch, const std::string& scriptText,
                             const std::string& extraProjectIni) {
    const std::string project = scratch.Path() + "/project";
    fs::create_directories(project + "/files");
    fs::copy_file(SourceDir() + "/sample/files/timesheet.ini", project + "/files/timesheet.ini",
                  fs::copy_options::overwrite_existing);
    fs::copy_file(SourceDir() + "/sample/product.wxs", project + "/product.wxs",
                  fs::copy_options::overwrite_existing);
    WriteFileBytes(project + "/project.ini",
                   "[setup]\n"
                   "product code = {3B8F2C71-5D4E-4A96-9C0B-7E21D54A8F13}\n"
                   "title        = Script Test\n"
                   "version      = 1.2.3\n"
                   "company      = Harbour Lane Software\n"
                   "output name  = ScriptSetup\n"
                   "script       = setup.kvs\n"
                   "wxs file     = product.wxs\n" +
                       extraProjectIni);
    WriteFileBytes(project + "/setup.kvs", scriptText);
    const std::string out = scratch.Path() + "/out";
    const std::string command = "'" + HostDistDir() + "/kaviro-build' '" + project + "' --out '" + out +
                                "' --engine '" + DistDir() + "/engine.exe' --oru '" + DistDir() +
                                "/oru.lib' > '" + scratch.Path() + "/build.log' 2>&1";
    EXPECT_EQ(std::system(command.c_str()), 0) << ReadFileBytes(scratch.Path() + "/build.log");
    return out + "/ScriptSetup.exe";
}

ScriptRun RunSetup(const Scratch& scratch, const std::string& setup, std::vector<std::string> arguments) {
    const std::string tracePath = scratch.Path() + "/trace.txt";
    fs::remove(tracePath);
    fs::create_directories(scratch.Temp());
    RunRequest request;
    request.program = setup;
    request.arguments = std::move(arguments);
    request.arguments.push_back("/l=" + ToWindowsPath(tracePath));
    scratch.UseAsTemp(request.environment);
    ScriptRun result;
    result.run = RunUnderWine(request);
    if (FileExists(tracePath))
        result.trace = ReadUtf16Lines(tracePath);
    result.tempFolder = scratch.Temp();
    return result;
}

}  // namespace kaviro::e2e
