#include "tests/e2e/startup/setup_factory.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <stdexcept>

#include "engine/package_format.h"
#include "engine/package_writer.h"
#include "tests/e2e/support/scratch.h"
#include "tests/e2e/support/wine_run.h"
#include "ui/form_text_compiler.h"

namespace kaviro::e2e {
namespace {

namespace fs = std::filesystem;

std::string StatementId(std::size_t index) {
    char id[64];
    std::snprintf(id, sizeof(id), "{6A0C1D2E-0000-4000-8000-%012zX}", index);
    return id;
}

void Run(const std::string& command) {
    if (std::system(command.c_str()) != 0)
        throw std::runtime_error("command failed: " + command);
}

std::string Quote(const std::string& text) {
    return "'" + text + "'";
}

// The installer database, compiled once per test program.
const std::string& SampleDatabase() {
    static const std::string path = [] {
        const std::string folder = E2eDir() + "/startup-database-" + std::to_string(getpid());
        fs::create_directories(folder);
        WriteFileBytes(folder + "/readme.txt", "Acme Notes\r\n");
        WriteFileBytes(folder + "/setup.wxs", R"(<?xml version="1.0" encoding="utf-8"?>
<Wix xmlns="http://schemas.microsoft.com/wix/2006/wi">
  <Product Id="*" Name="Acme Notes" Language="1033" Version="1.0.0" Manufacturer="Acme"
           UpgradeCode="8C5B2E41-3F0A-4D7E-9B1C-2A6F4E8D0B13">
    <Package InstallerVersion="200" Compressed="yes" InstallScope="perMachine"/>
    <Media Id="1" Cabinet="notes.cab" EmbedCab="yes"/>
    <Directory Id="TARGETDIR" Name="SourceDir">
      <Directory Id="ProgramFilesFolder">
        <Directory Id="INSTALLDIR" Name="Acme Notes">
          <Component Id="Readme" Guid="5E3A9C17-2B4D-4F6E-8A1B-0C7D3E9F2A64">
            <File Id="ReadmeFile" Source="readme.txt"/>
          </Component>
        </Directory>
      </Directory>
    </Directory>
    <Feature Id="Main" Level="1"><ComponentRef Id="Readme"/></Feature>
  </Product>
</Wix>
)");
        Run("cd " + Quote(folder) + " && wixl -o setup.msi setup.wxs >/dev/null 2>&1");
        return folder + "/setup.msi";
    }();
    return path;
}

}  // namespace

std::string WelcomeDialogBytes() {
    const std::string text = ReadFileBytes(SourceDir() + "/tests/data/dialogs/welcome.txt");
    const std::vector<uint8_t> compiled = ui::CompileTextForm(text, "welcome.txt");
    return std::string(compiled.begin(), compiled.end());
}

std::string WelcomeRulesText() {
    return ReadFileBytes(SourceDir() + "/tests/data/dialogs/welcome.oruf");
}

std::string PackageText(const SetupSpec& spec) {
    if (spec.packageText)
        return *spec.packageText;
    Script script;
    const auto add = [&](const std::string& name, const std::vector<std::string>& parameters,
                         const std::string& flag) {
        const std::size_t index = script.statementNames.size();
        script.statementNames.push_back(name);
        script.statementIds.push_back(StatementId(index));
        if (!parameters.empty()) {
            script.parameters.push_back(StatementId(index));
            script.parameters.insert(script.parameters.end(), parameters.begin(), parameters.end());
        }
        script.statementFlags.push_back(flag);
        script.statementMediaFolders.push_back("");
        script.sourceMap.push_back("C:\\Projects\\Acme\\Setup.oru*" + std::to_string(index));
    };
    add("Comment", {"Acme Notes start-up test"}, "");
    add("Set Variable", {"GREETING", "Hello"}, "");
    for (const std::string& dialog : spec.disabledDialogs)
        add("Display Dialog", {dialog, "WIZARD", "TRUE", "", "", "FALSE"}, "C");
    if (!spec.dialogs.empty())
        add("Wizard Loop", {}, "");
    for (const std::string& dialog : spec.dialogs)
        add("Display Dialog", {dialog, "WIZARD", "TRUE", "", "", "FALSE"}, "");
    if (!spec.dialogs.empty())
        add("End", {}, "");
    script.productCode = "{3B5F7A9C-1D2E-4F60-8A1B-2C3D4E5F6071}";
    script.title = "Acme Notes";
    script.company = "Acme";
    script.version = "1.0.0";
    script.revisionCode = "{9D8C7B6A-5F4E-4D3C-8B2A-1F0E9D8C7B6A}";
    script.defaultLanguage = "English";
    script.buildSettings = {"CACHESOURCES", "TRUE"};
    return WritePackage(script);
}

std::string MakeSetup(const std::string& folder, const SetupSpec& spec) {
    // A fresh folder: parts of an earlier setup must not stand in for left-out ones.
    fs::remove_all(folder);
    fs::create_directories(folder);
    const std::string base = folder + "/" + spec.baseName;

    std::string engine = ReadFileBytes(DistDir() + "/engine.exe");
    if (engine.empty())
        throw std::runtime_error("dist/x64/engine.exe is missing: build x64 first");
    if (spec.appendPackage)
        engine += PackageText(spec);
    WriteFileBytes(base + ".exe", engine);

    if (spec.archiveLibrary) {
        std::string library = spec.archiveLibraryBytes.value_or(ReadFileBytes(DistDir() + "/oru.lib"));
        WriteFileBytes(folder + "/oru.lib", library + spec.languageFile);
    }

    if (spec.resourceBytes) {
        WriteFileBytes(base + ".res", *spec.resourceBytes);
    } else if (spec.resource) {
        const std::string staging = folder + "/.res-staging";
        fs::remove_all(staging);
        std::map<std::string, std::string> files = spec.supportFiles;
        for (const std::string& dialog : spec.dialogs) {
            if (!files.count(dialog + ".dfm"))
                files[dialog + ".dfm"] = WelcomeDialogBytes();
            if (!files.count(dialog + ".dfm.oruf"))
                files[dialog + ".dfm.oruf"] = WelcomeRulesText();
        }
        for (const std::string& name : spec.omittedSupportFiles) files.erase(name);
        if (files.empty())
            files["readme.txt"] = "Acme Notes support files\r\n";
        for (const auto& [name, bytes] : files) WriteFileBytes(staging + "/" + name, bytes);
        fs::remove(base + ".res");
        Run("cd " + Quote(staging) + " && 7zz a -t7z -bso0 -bsp0 " + Quote(base + ".res") + " . >/dev/null");
        fs::remove_all(staging);
    }

    if (spec.database == SetupSpec::Database::Msi)
        fs::copy_file(SampleDatabase(), base + ".msi", fs::copy_options::overwrite_existing);
    if (spec.database == SetupSpec::Database::Msp)
        fs::copy_file(SampleDatabase(), base + ".msp", fs::copy_options::overwrite_existing);

    if (spec.splashPicture) {
        // A 24-bit 120 x 60 bitmap.
        const int width = 120, height = 60, row = width * 3;
        std::string bmp = "BM";
        const auto put32 = [&](uint32_t v) {
            for (int i = 0; i < 4; ++i) bmp += static_cast<char>(v >> (8 * i) & 0xFF);
        };
        const auto put16 = [&](uint16_t v) {
            bmp += static_cast<char>(v & 0xFF);
            bmp += static_cast<char>(v >> 8);
        };
        put32(54 + row * height);
        put32(0);
        put32(54);
        put32(40);
        put32(width);
        put32(height);
        put16(1);
        put16(24);
        put32(0);
        put32(row * height);
        put32(2835);
        put32(2835);
        put32(0);
        put32(0);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                bmp += char(200);
                bmp += char(120);
                bmp += char(x * 2);
            }
        WriteFileBytes(folder + "/setup.bmp", bmp);
    }
    return base + ".exe";
}

}  // namespace kaviro::e2e
