#include "tools/builder/known_commands.h"

#include <array>

#include "engine/text_util.h"

namespace kaviro::builder {
namespace {

constexpr auto kCommands = std::to_array<std::string_view>({
    // control flow
    "If",
    "Else If",
    "Else",
    "End",
    "Wizard Loop",
    "Label",
    "GoTo Label",
    "Comment",
    "Ignore",
    "Terminate Install",
    "Terminate with Exit Code",
    "Code Folding Region",
    // text, paths and arithmetic
    "Set Variable",
    "Parse String",
    "Replace String",
    "Convert Path",
    "Convert Case",
    "Extract Path",
    "Mathematics",
    "Evaluate Expression",
    "Get Temporary File",
    // dialogs, localization and messages
    "Display Dialog",
    "Hide Dialog",
    "Localization Variable",
    "MessageBox",
    "MessageBalloon",
    "System Tray",
    // components
    "Define Component",
    "Delete Component",
    "Get Component State",
    "Get Component Space",
    "Set Component State",
    "Set Component Space",
    "Set Component Choice",
    "Set Component Visibility",
    "Save Feature Selections",
    "Load Feature Selections",
    // installer
    "Apply Changes",
    "Apply Patch",
    "Transform Instance",
    "Set 64 Bit Mode",
    "Install Files",
    "Is MSI Setup Installed",
    "Reboot Computer",
    "Reboot and Resume",
    // registry, INI and environment
    "Read Registry",
    "Check Registry",
    "Write Registry",
    "Delete Registry",
    "Edit INI File",
    "Get INI File Settings",
    "Set Environment",
    "Get Environment",
    // services, shares, access control and tasks
    "Create Share",
    "Delete Share",
    "Set Access Control",
    "Install Service",
    "Control Service",
    "Check Service",
    "Schedule Task",
    "Delete Scheduled Task",
    // web server
    "Create IIS Site",
    "Delete IIS Site",
    "Control IIS Site",
    "Create Virtual Folder",
    "Delete Virtual Folder",
    "Get IIS Site List",
    "Get IIS Site Index",
    "Get IIS Property",
    "Set IIS Property",
    "IIS Anonymous User",
    // assemblies, ODBC, shortcuts and file types
    "Install Assembly",
    "Remove Assemblies",
    "Register Assembly",
    "Generate Native Images",
    "Run .NET Installer Class",
    "Create ODBC DSN",
    "Install ODBC Driver",
    "Create Shortcut",
    "Advertised Shortcut",
    "Create File Type",
    "Advertised File Type",
    // media
    "Extract 7Zip Archive",
    "Web Media Block",
    // files and folders
    "Create Folder",
    "Copy/Move Local Files",
    "Delete Files",
    "Delete Files Recursive",
    "Find All Files",
    "Does File/Folder Exist",
    "Check Disk Space",
    "Read from Text File",
    "Write to Text File",
    // programs
    "Run Program",
    "Run Program As",
    "Run Light Mode Setup",
    "Terminate Program",
    "Check Process",
    "Register Library",
    // system information
    "Get System Settings",
    "Get OS or SP Level",
    "Get Folder Location",
    "Get File Version",
    "Check File Version",
});

}  // namespace

bool IsKnownCommand(std::string_view statementName) {
    for (const auto name : kCommands) {
        if (name == statementName)
            return true;
    }
    return false;
}

std::optional<std::string> KnownCommandIgnoringCase(std::string_view statementName) {
    for (const auto name : kCommands) {
        if (EqualsIgnoreCase(name, statementName))
            return std::string(name);
    }
    return std::nullopt;
}

}  // namespace kaviro::builder
