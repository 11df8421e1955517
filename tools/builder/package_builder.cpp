#include "tools/builder/package_builder.h"

#include <array>
#include <set>
#include <unordered_set>

#include "tools/builder/build_error.h"
#include "tools/builder/identifiers.h"

namespace kaviro::builder {
namespace {

constexpr std::array<std::string_view, 16> kHeaderCommands = {
    "Install Files",   "Install Assembly", "Copy/Move Local Files", "Delete Files",
    "Create Folder",   "Create Shortcut",  "Advertised Shortcut",   "Edit INI File",
    "Set Environment", "Install Service",  "Install ODBC Driver",   "Create ODBC DSN",
    "Control Service", "Write Registry",   "Create File Type",      "Advertised File Type"};

bool AllDecimal(std::string_view text) {
    return text.find_first_not_of("0123456789") == std::string_view::npos;
}

}  // namespace

bool IsHeaderCommand(std::string_view statementName) {
    for (const auto name : kHeaderCommands) {
        if (name == statementName)
            return true;
    }
    return false;
}

Script BuildScript(const PackageSources& sources) {
    const ProjectSettings& settings = sources.settings;
    Script script;
    std::set<std::string> ids;
    std::unordered_set<std::string> headerCodes;
    for (std::size_t index = 0; index < sources.statements.size(); ++index) {
        const SourceStatement& statement = sources.statements[index];
        std::string id =
            statement.id.empty() ? DerivedStatementId(settings.productCode, index) : statement.id;
        if (!ids.insert(id).second) {
            throw ErrorAt(sources.scriptPath, statement.line + 1,
                          "statement id " + id + " is already used by an earlier statement");
        }
        script.statementNames.push_back(statement.name);
        script.statementIds.push_back(id);
        if (!statement.parameters.empty()) {
            script.parameters.push_back(id);
            script.parameters.insert(script.parameters.end(), statement.parameters.begin(),
                                     statement.parameters.end());
        }
        script.statementFlags.push_back(statement.disabled ? "C" : "");
        script.statementMediaFolders.push_back(statement.mediaFolder);
        script.sourceMap.push_back(sources.scriptPath + "*" + std::to_string(statement.line));
        if (IsHeaderCommand(statement.name)) {
            // Codes are unique within the package, and never all digits, so
            // that no code can be mistaken for a statement index.
            std::string code;
            for (int attempt = 0; code.empty() || headerCodes.contains(code) || AllDecimal(code); ++attempt) {
                code = DerivedHeaderCode(settings.productCode, id, attempt);
            }
            headerCodes.insert(code);
            script.commandHeaders.push_back(code);
            script.commandHeaders.push_back(std::to_string(index));
        }
    }

    script.productCode = settings.productCode;
    script.title = settings.title;
    script.company = settings.company;
    script.contact = settings.contact;
    script.helpLink = settings.helpLink;
    script.updateLink = settings.updateLink;
    script.comments = settings.comments;
    script.version = settings.version;
    for (const auto& [block, password] : settings.mediaPasswords) {
        script.mediaPasswords.push_back(block);
        script.mediaPasswords.push_back(password);
    }
    script.mediaLayoutCode = settings.mediaLayoutCode;
    // The part that belongs to no component comes first, with size 0 unless
    // the settings give one.
    uint64_t predefinedSize = 0;
    for (const auto& component : settings.components) {
        if (component.name == kPredefinedComponent)
            predefinedSize = component.size;
    }
    script.componentSection.emplace_back(kPredefinedComponent);
    script.componentSection.push_back(std::to_string(predefinedSize));
    for (const auto& component : settings.components) {
        if (component.name == kPredefinedComponent)
            continue;
        script.componentSection.push_back(component.name);
        script.componentSection.push_back(std::to_string(component.size));
    }
    script.revisionCode = sources.revisionCode;
    script.languagePrompt = settings.languagePrompt;
    script.defaultLanguage = settings.defaultLanguage;
    for (const auto& [key, value] : settings.buildSettings) {
        script.buildSettings.push_back(key);
        script.buildSettings.push_back(value);
    }
    script.codePage = settings.codePage;
    return script;
}

}  // namespace kaviro::builder
