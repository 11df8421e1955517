#include "installer/component_commands.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "engine/engine_error.h"
#include "fake_variables.h"

namespace kaviro::installer {
namespace {

namespace fs = std::filesystem;

ComponentModel ToolsModel() {
    ComponentModel model;
    model.MutableLists().sizeTable = {"VELK-PREDEF-COMPONENT", "1000", "TOOLS", "250", "BROKEN", "n/a"};
    CommandDefineComponent(model, "VELK-PREDEF-COMPONENT", "TRUE", "");
    CommandDefineComponent(model, "Tools", "TRUE", "Tool set");
    CommandDefineComponent(model, "Tools\\Help", "false", "Help files");
    return model;
}

TEST(ComponentCommands, DefineComponentReadsItsFlagAsBooleanText) {
    struct Case {
        const char* flag;
        const char* state;
    };
    const Case cases[] = {{"TRUE", "TRUE"},   {"True", "TRUE"}, {"-1", "TRUE"},
                          {"FALSE", "FALSE"}, {"yes", "FALSE"}, {"", "FALSE"}};
    for (const Case& c : cases) {
        ComponentModel model;
        CommandDefineComponent(model, "A", c.flag, "desc");
        EXPECT_EQ(model.StateEntry(0), c.state) << c.flag;
        EXPECT_EQ(model.ComponentDescription("A"), "desc");
    }
}

TEST(ComponentCommands, DefineComponentInATranslatedRunCarriesTheSize) {
    ComponentModel model = ToolsModel();
    CommandDefineComponent(model, "Werkzeuge", "TRUE", "Werkzeugsatz", std::string("Tools"));
    EXPECT_EQ(model.ComponentSize("Werkzeuge"), 250);
    // Without a size nothing is carried over beyond the usual "0" entry.
    CommandDefineComponent(model, "Hilfe", "TRUE", "", std::string("Unsized"));
    const TextList& table = model.Lists().sizeTable;
    EXPECT_EQ(TextList(table.end() - 2, table.end()), (TextList{"Hilfe", "0"}));
}

TEST(ComponentCommands, GetComponentStateStoresTheResult) {
    ComponentModel model = ToolsModel();
    CommandDeleteComponent(model, "Tools\\Help");
    struct Case {
        const char* name;
        const char* result;
        const char* value;
    };
    const Case cases[] = {
        {"tools", "Picked", "TRUE"},
        {"Tools\\Help", "$HELPSTATE$", "FALSE"},
        {"Missing", "missing", "FALSE"},
        {"VELK-PREDEF-COMPONENT", "base", "TRUE"},
    };
    for (const Case& c : cases) {
        test::FakeVariables variables;
        CommandGetComponentState(model, variables, c.name, c.result);
        ASSERT_EQ(variables.defined.size(), 1u) << c.name;
        EXPECT_EQ(variables.defined[0], UpperCase(c.result[0] == '$' ? "HELPSTATE" : c.result));
        EXPECT_EQ(variables.writes.back().value, c.value);
        EXPECT_EQ(variables.writes.back().origin, "Get Component State Action");
    }
    // An existing variable is assigned without being created; an empty name stores nothing.
    test::FakeVariables variables;
    variables.values["PICKED"] = "old";
    CommandGetComponentState(model, variables, "Tools", "Picked");
    EXPECT_TRUE(variables.defined.empty());
    EXPECT_EQ(variables.Get("PICKED"), "TRUE");
    CommandGetComponentState(model, variables, "Tools", "");
    EXPECT_EQ(variables.writes.size(), 1u);
}

TEST(ComponentCommands, DeleteThenDefineRestoresTheComponent) {
    ComponentModel model = ToolsModel();
    CommandDeleteComponent(model, "Tools");
    CommandDeleteComponent(model, "TOOLS");  // already deleted: not listed twice
    CommandDeleteComponent(model, "Missing");
    EXPECT_EQ(model.Lists().deleted, (TextList{"Tools"}));
    EXPECT_FALSE(model.GetComponentState("Tools"));
    EXPECT_EQ(model.StateEntry(1), "TRUE");
    CommandDefineComponent(model, "Tools", "FALSE", "");
    EXPECT_TRUE(model.GetComponentState("Tools"));
}

TEST(ComponentCommands, SetComponentState) {
    ComponentModel model = ToolsModel();
    CommandSetComponentState(model, "tools\\help", "True");
    CommandSetComponentState(model, "Tools", "no");
    CommandSetComponentState(model, "Missing", "TRUE");
    EXPECT_EQ(model.Lists().states, (TextList{"TRUE", "FALSE", "TRUE"}));
    EXPECT_EQ(model.Lists().components.size(), 3u);
}

TEST(ComponentCommands, GetComponentSpace) {
    ComponentModel model = ToolsModel();
    struct Case {
        const char* name;
        const char* value;
    };
    const Case cases[] = {{"Tools", "250"}, {"tools\\help", "0"}, {"Missing", "0"}, {"", "1250"}};
    for (const Case& c : cases) {
        test::FakeVariables variables;
        CommandGetComponentSpace(model, variables, c.name, "SPACE");
        EXPECT_EQ(variables.Get("SPACE"), c.value) << c.name;
        EXPECT_EQ(variables.writes.back().origin, "Get Component Space Action");
    }
    test::FakeVariables variables;
    EXPECT_THROW(CommandGetComponentSpace(model, variables, "Broken", "SPACE"), EngineError);
    CommandGetComponentSpace(model, variables, "Tools", "");
    EXPECT_TRUE(variables.writes.empty());
    // Maintenance with nothing changed.
    model.TakeInstalledBaseSize();
    CommandGetComponentSpace(model, variables, "", "SPACE");
    EXPECT_EQ(variables.Get("SPACE"), "0");
}

TEST(ComponentCommands, SetComponentSpace) {
    struct Case {
        const char* name;
        const char* size;
        TextList tail;  // the size table after the three definitions' entries
    };
    const Case cases[] = {
        {"Tools", "4096", {}}, {"Tools\\Help", "77", {}}, {"Tools", "12k", {}},
        {"Missing", "5", {}},  {"Tools", "", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.name) + " " + c.size);
        ComponentModel model = ToolsModel();
        const TextList before = model.Lists().sizeTable;
        CommandSetComponentSpace(model, c.name, c.size);
        TextList expected = before;
        if (std::string(c.size) == "4096")
            expected[3] = "4096";
        if (std::string(c.size) == "77")
            expected[7] = "77";
        EXPECT_EQ(model.Lists().sizeTable, expected);
    }
    // A component without a size line gets one appended.
    ComponentModel model = ToolsModel();
    model.MutableLists().components.push_back("Extra");
    CommandSetComponentSpace(model, "Extra", "-9");
    EXPECT_EQ(model.ComponentSize("extra"), -9);
}

TEST(ComponentCommands, ChoiceAndVisibilityToggleTheirSets) {
    ComponentModel model = ToolsModel();
    CommandSetComponentChoice(model, "Tools", "FALSE");
    CommandSetComponentChoice(model, "TOOLS", "FALSE");
    CommandSetComponentChoice(model, "Missing", "FALSE");
    EXPECT_EQ(model.Lists().locked, (TextList{"Tools"}));
    EXPECT_TRUE(model.IsLockedOrAncestorLocked("Tools\\Help"));
    CommandSetComponentChoice(model, "tools", "TRUE");
    EXPECT_TRUE(model.Lists().locked.empty());

    CommandSetComponentVisibility(model, "Tools\\Help", "false");
    CommandSetComponentVisibility(model, "tools\\help", "false");
    CommandSetComponentVisibility(model, "Missing", "false");
    EXPECT_EQ(model.Lists().hidden, (TextList{"Tools\\Help"}));
    CommandSetComponentVisibility(model, "TOOLS\\HELP", "-1");
    EXPECT_TRUE(model.Lists().hidden.empty());
    // Removing a name that is not listed changes nothing.
    CommandSetComponentVisibility(model, "Tools", "TRUE");
    CommandSetComponentChoice(model, "Tools", "TRUE");
    EXPECT_TRUE(model.Lists().hidden.empty() && model.Lists().locked.empty());
}

class RecordingRedirection final : public FileSystemRedirection {
  public:
    void SwitchOff() override { events += "off "; }
    void Restore() override { events += "on "; }
    std::string events;
};

TEST(ComponentCommands, SaveAndLoadFeatureSelectionsThroughAFile) {
    const fs::path folder = fs::path(::testing::TempDir()) / "kaviro_feature_selections";
    fs::remove_all(folder);
    fs::create_directories(folder);
    const std::string path = (folder / "choice.dat").string();

    ComponentModel model = ToolsModel();
    CommandSetComponentState(model, "Tools", "FALSE");
    CommandSetComponentChoice(model, "Tools\\Help", "FALSE");
    model.AddSavedVariable("Colour");
    test::FakeVariables variables;
    variables.values = {{"TARGETDIR", "C:\\P"}, {"COLOUR", "two\r\nlines"}};
    std::string mode = "x64";
    RecordingRedirection redirection;
    CommandSaveFeatureSelections({model, variables, mode, "C:\\SHORT~1"}, redirection, path);
    EXPECT_EQ(redirection.events, "off on ");

    // A later run defines the same components afresh, then loads the file.
    ComponentModel later;
    CommandDefineComponent(later, "Tools", "TRUE", "");
    CommandDefineComponent(later, "Tools\\Help", "TRUE", "");
    CommandDefineComponent(later, "New", "TRUE", "");
    test::FakeVariables laterVariables;
    std::string laterMode = "Win32";
    CommandLoadFeatureSelections({later, laterVariables, laterMode, ""}, redirection, path);
    EXPECT_EQ(later.Lists().states, (TextList{"FALSE", "FALSE", "TRUE"}));
    EXPECT_EQ(later.Lists().locked, (TextList{"Tools\\Help"}));
    EXPECT_EQ(laterVariables.Get("TARGETDIR"), "C:\\P");
    EXPECT_EQ(laterVariables.Get("COLOUR"), "two$NEWLINE$lines");
    EXPECT_EQ(laterMode, "x64");

    // A missing file changes nothing, and the redirection is restored on failure too.
    CommandLoadFeatureSelections({later, laterVariables, laterMode, ""}, redirection, path + ".missing");
    EXPECT_EQ(later.Lists().states, (TextList{"FALSE", "FALSE", "TRUE"}));
    redirection.events.clear();
    EXPECT_THROW(CommandSaveFeatureSelections({model, variables, mode, ""}, redirection,
                                              (folder / "no" / "such.dat").string()),
                 EngineError);
    EXPECT_EQ(redirection.events, "off on ");
    fs::remove_all(folder);
}

}  // namespace
}  // namespace kaviro::installer
