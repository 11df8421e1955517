#include "script/validation.h"

#include <unordered_set>

#include "engine/engine_error.h"
#include "engine/package_lookup.h"
#include "engine/text_util.h"
#include "script/expression.h"
#include "script/variable_text.h"

namespace kaviro::script {

namespace {

constexpr std::string_view kCompilationOrigin = "Compilation";

bool IsActiveFlag(const Script& script, std::size_t index) {
    return index >= script.statementFlags.size() || script.statementFlags[index] != "C";
}

// A check failed at the current statement.
struct Offending {};

class Validator {
public:
    Validator(const Script& script, TVariableManager& variables, TextList& executionList)
        : script_(script), variables_(variables), executionList_(executionList) {}

    int64_t Run() {
        executionList_.clear();
        labels_.clear();
        for (const auto& name : ValidationDeclaredNames()) Declare(name);
        const std::size_t count = script_.statementNames.size();
        if (const int64_t failed = CheckBlocks(); failed != kScriptValid) return failed;
        for (std::size_t i = 0; i < count; ++i) {
            if (!Guard(i, [&] { CheckLabel(i); })) return static_cast<int64_t>(i);
        }
        for (std::size_t i = 0; i < count; ++i) {
            if (!Guard(i, [&] { DeclareSavedVariable(i); })) return static_cast<int64_t>(i);
        }
        for (std::size_t i = 0; i < count; ++i) {
            executionList_.emplace_back("SKIP");
            if (!IsActiveFlag(script_, i)) continue;
            if (!Guard(i, [&] { CheckStatement(i); })) return static_cast<int64_t>(i);
        }
        return CheckWizardLoops();
    }

private:
    template <typename Check>
    bool Guard(std::size_t, Check&& check) {
        try {
            check();
            return true;
        } catch (const Offending&) {
            return false;
        } catch (const EngineError&) {
            // A parameter the package does not hold: the statement cannot run.
            return false;
        }
    }

    std::string Parameter(std::size_t index, int k) const {
        const std::string& id = index < script_.statementIds.size() ? script_.statementIds[index] : empty_;
        return GetParameter(script_, id, k);
    }

    void Declare(std::string_view text) {
        const std::string name = UpperCase(NameFromReference(text));
        if (name.empty() || variables_.Exists(name)) return;
        variables_.DefineVariable(name, "", kCompilationOrigin);
    }

    void DeclareParameter(std::size_t index, int k) { Declare(Parameter(index, k)); }

    void Require(bool condition) const {
        if (!condition) throw Offending{};
    }

    void RequireVariable(std::string_view text) const { Require(variables_.Exists(NameFromReference(text))); }

    int64_t CheckBlocks() const {
        const auto& names = script_.statementNames;
        int depth = 0;
        int openers = 0;
        int closers = 0;
        for (std::size_t i = 0; i < names.size(); ++i) {
            if (!IsActiveFlag(script_, i)) continue;
            const std::string& name = names[i];
            if (name == "If" || name == "Wizard Loop") {
                ++openers;
                ++depth;
            } else if (name == "End") {
                ++closers;
                --depth;
            } else if (name == "Label" && depth != 0) {
                return static_cast<int64_t>(i);
            }
        }
        return openers == closers ? kScriptValid : static_cast<int64_t>(names.size());
    }

    void CheckLabel(std::size_t index) {
        if (script_.statementNames[index] != "Label") return;
        const std::string label = UpperCase(Parameter(index, 1));
        Require(labels_.insert(label).second);
    }

    void DeclareSavedVariable(std::size_t index) {
        if (script_.statementNames[index] != "Set Variable") return;
        const std::string target = Parameter(index, 1);
        const std::size_t marker = target.find(kSavingMarker);
        if (marker == std::string::npos) return;
        if (target.substr(marker + kSavingMarker.size()) != "TRUE") return;
        Declare(target.substr(0, marker));
    }

    void CheckStatement(std::size_t index) {
        const std::string& name = script_.statementNames[index];
        if (name == "Web Media Block") {
            const std::string block = Parameter(index, 1);
            const std::size_t folderEnd = block.find_last_of("\\:");
            const std::string fileName = folderEnd == std::string::npos ? block : block.substr(folderEnd + 1);
            Require(fileName.find_first_of("\\/:*?\"<>|") == std::string::npos);
            if (!block.empty()) Require(!Parameter(index, 2).empty());
        } else if (OneOf(name, {"Get Folder Location", "Get INI File Settings", "Check File Version",
                                "Get System Settings", "Get OS or SP Level", "Read Registry", "Check Registry",
                                "Does File/Folder Exist", "Localization Variable", "Get Temporary File",
                                "Get IIS Property", "Get IIS Site List", "Apply Patch", "IIS Anonymous User"})) {
            DeclareParameter(index, 1);
        } else if (OneOf(name, {"Run Light Mode Setup", "Get File Version", "Get Environment", "Get IIS Site Index",
                                "Check Process", "Apply Changes", "Get Component State", "Get Component Space"})) {
            DeclareParameter(index, 2);
        } else if (OneOf(name, {"Extract 7Zip Archive", "Check Service", "Register Library"})) {
            DeclareParameter(index, 3);
        } else if (name == "Mathematics" || name == "Run Program") {
            DeclareParameter(index, 4);
        } else if (name == "MessageBox") {
            DeclareParameter(index, 5);
        } else if (name == "Run Program As") {
            DeclareParameter(index, 8);
        } else if (name == "Read from Text File") {
            DeclareParameter(index, 2);
            DeclareParameter(index, 3);
        } else if (name == "Parse String") {
            DeclareParameter(index, 3);
            DeclareParameter(index, 4);
        } else if (name == "Is MSI Setup Installed") {
            RequireAndDeclare(index, 2);
        } else if (name == "Check Disk Space") {
            RequireAndDeclare(index, 1);
        } else if (name == "Find All Files") {
            RequireAndDeclare(index, 4);
        } else if (name == "Set Variable") {
            const std::string target = Parameter(index, 1);
            Declare(target.substr(0, target.find(kSavingMarker)));
        } else if (name == "Evaluate Expression") {
            DeclareParameter(index, 2);
            Require(CheckExpressionSyntax(Parameter(index, 1)));
        } else if (OneOf(name, {"Convert Path", "Convert Case", "Extract Path", "Replace String"})) {
            RequireVariable(Parameter(index, 1));
        } else if (name == "If" || name == "Else If") {
            const std::string variable = Parameter(index, 1);
            Require(!variable.empty());
            RequireVariable(variable);
            const std::string operandName = StripReference(Parameter(index, 3));
            if (!operandName.empty()) Require(variables_.Exists(operandName));
        } else if (name == "Display Dialog") {
            Require(!Parameter(index, 1).empty());
            DeclareParameter(index, 2);
            const std::string condition = Parameter(index, 4);
            if (!condition.empty()) RequireVariable(condition);
        } else if (name == "GoTo Label") {
            Require(labels_.count(UpperCase(Parameter(index, 1))) != 0);
        } else if (name == "Delete Files") {
            Require(TextToBool(Parameter(index, 3)) || TextToBool(Parameter(index, 4)));
            executionList_.back() = "FALSE";
        } else if (name == "Install Files") {
            Require(!Parameter(index, 3).empty());
            executionList_.back() = "FALSE";
        } else if (IsHeaderCommand(name)) {
            executionList_.back() = "FALSE";
        }
    }

    void RequireAndDeclare(std::size_t index, int k) {
        const std::string text = Parameter(index, k);
        Require(!text.empty());
        Declare(text);
    }

    static bool OneOf(std::string_view name, std::initializer_list<std::string_view> names) {
        for (std::string_view candidate : names) {
            if (name == candidate) return true;
        }
        return false;
    }

    // Between an active "Wizard Loop" and its End only dialogs, comments,
    // "Ignore" and disabled statements may stand.
    int64_t CheckWizardLoops() const {
        const auto& names = script_.statementNames;
        bool inside = false;
        for (std::size_t i = 0; i < names.size(); ++i) {
            if (!IsActiveFlag(script_, i)) continue;
            const std::string& name = names[i];
            if (!inside) {
                inside = name == "Wizard Loop";
                continue;
            }
            if (name == "End") {
                inside = false;
            } else if (name != "Display Dialog" && name != "Comment" && name != "Ignore") {
                return static_cast<int64_t>(i);
            }
        }
        return kScriptValid;
    }

    const Script& script_;
    TVariableManager& variables_;
    TextList& executionList_;
    std::unordered_set<std::string> labels_;
    const std::string empty_;
};

}  // namespace

int64_t ValidateScript(const Script& script, TVariableManager& variables, TextList& executionList) {
    return Validator(script, variables, executionList).Run();
}

const TextList& ValidationDeclaredNames() {
    static const TextList names = {
        "VELK_COMPRESSCACHE", "VELK_DISABLEROLLBACK", "VELK_DISABLEVISTARESTARTMANAGER", "IISHOST",
        "OVERRIDECACHE", "VELKLOGO", "TIME", "DATE", "NEWINSTANCE", "SELECTED", "WINDOWHANDLE", "EXEDIR",
        "EXEFILE", "UNINSTALLLINK", "ENGINECACHE", "COPYWEBLOCK", "ABORT", "SILENT", "LOGGED", "CMDLINE",
        "REBOOTNOW", "SFXPATH", "SFXFILE", "LASTERROR", "PROGRESSMODE", "PROGRESSTEXT", "PROGRESS", "LICENSE",
        "USERNAME", "USERCOMPANY", "REBOOTCOMPUTER", "RUNAPP", "WIZARD", "VERSION", "TARGETDIR", "STARTMENU",
        "ADVERTISE", "ALLUSERS", "COMPLETE", "MINIMUM", "PERSONALIZED", "MODIFY", "REPAIR", "REMOVE", "DATADIR",
        "PRODUCTCODE", "REVISIONCODE", "ROOTDIR", "MAINTENANCE", "NEWLINE", "NEEDSUPGRADE", "TITLE", "COMPANY",
        "TEMPDIR", "SUPPORTDIR", "MSIFILE", "LANGUAGE", "ABORTONERROR", "ABORTEDONERROR", "SAVEDATA"};
    return names;
}

bool IsHeaderCommand(std::string_view name) {
    static const std::unordered_set<std::string_view> headers = {
        "Install Files",  "Install Assembly",   "Copy/Move Local Files", "Delete Files",
        "Create Folder",  "Create Shortcut",    "Advertised Shortcut",   "Edit INI File",
        "Set Environment", "Install Service",   "Install ODBC Driver",   "Create ODBC DSN",
        "Control Service", "Write Registry",    "Create File Type",      "Advertised File Type"};
    return headers.count(name) != 0;
}

}  // namespace kaviro::script
