#include "installer/component_model.h"

#include <gtest/gtest.h>

#include <limits>

#include "engine/engine_error.h"
#include "installer/component_name.h"

namespace kaviro::installer {
namespace {

ComponentModel ModelWith(std::initializer_list<std::pair<const char*, bool>> components) {
    ComponentModel model;
    for (const auto& [name, selected] : components) model.DefineComponent(name, "", selected);
    return model;
}

TEST(ComponentModel, StartsFromThePackagesComponentSection) {
    Script script;
    script.mediaLayoutCode = 2;
    script.componentSection = {"VELK-PREDEF-COMPONENT", "100", "TOOLS", "2048"};
    ComponentModel model;
    model.LoadFromPackage(script);
    EXPECT_EQ(model.MediaLayoutCode(), 2);
    EXPECT_EQ(model.Lists().sizeTable, script.componentSection);
    EXPECT_TRUE(model.Lists().components.empty());
    // Names stored in capitals still match.
    EXPECT_EQ(model.ComponentSize("Tools"), 2048);
    EXPECT_EQ(model.ComponentSize("VELK-PREDEF-COMPONENT"), 100);
}

TEST(ComponentModel, LookupIsWholeNameCaseIgnoredFirstMatch) {
    ComponentModel model = ModelWith({{"Tools", true}, {"Tools\\Help", true}, {"Caf\xE9", true}});
    model.MutableLists().components.push_back("TOOLS");  // a duplicate later in the list
    struct Case {
        const char* name;
        int index;
    };
    const Case cases[] = {
        {"Tools", 0},    {"tOOLS", 0},       {"Tool", -1},
        {"Tools\\", -1}, {"TOOLS\\HELP", 1}, {"CAF\xC9", 2},  // e acute against E acute in code page 1252
        {"", -1},
    };
    for (const Case& c : cases) EXPECT_EQ(model.IndexOfComponent(c.name), c.index) << c.name;
    EXPECT_TRUE(model.ComponentExists("tools\\help"));
    EXPECT_FALSE(model.ComponentExists("Help"));
}

TEST(ComponentModel, AncestorTestsWalkUpThePath) {
    ComponentModel model;
    model.AppendHidden("Tools");
    model.AppendLocked("DOCS\\API");
    struct Case {
        const char* name;
        bool hidden;
        bool locked;
    };
    const Case cases[] = {
        {"Tools", true, false},       {"tools\\Help\\Index", true, false},
        {"Toolbox", false, false},    {"Docs", false, false},
        {"Docs\\Api", false, true},   {"Docs\\Api\\Deep", false, true},
        {"Docs\\Apis", false, false}, {"", false, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(model.IsHiddenOrAncestorHidden(c.name), c.hidden) << c.name;
        EXPECT_EQ(model.IsLockedOrAncestorLocked(c.name), c.locked) << c.name;
    }
    EXPECT_TRUE(model.IsHidden("TOOLS"));
    EXPECT_FALSE(model.IsHidden("Tools\\Help"));
}

TEST(ComponentModel, DefineKeepsAStateThatIsAlreadySet) {
    ComponentModel model;
    // As a setup data file leaves it: Tools known and not selected.
    model.MutableLists().components = {"Tools"};
    model.MutableLists().states = {"FALSE"};
    model.DefineComponent("Tools", "The tools", true);
    EXPECT_FALSE(model.GetComponentState("Tools"));
    EXPECT_EQ(model.ComponentDescription("tools"), "The tools");
    EXPECT_EQ(model.Lists().sizeTable, (TextList{"Tools", "0"}));
    // An empty state entry is set by the definition.
    model.MutableLists().components.push_back("Docs");
    model.DefineComponent("Docs", "", true);
    EXPECT_EQ(model.Lists().states, (TextList{"FALSE", "TRUE"}));
    EXPECT_EQ(model.Lists().descriptions, (TextList{"The tools", ""}));
}

TEST(ComponentModel, DefineAppendsNewComponentsAndRestoresDeletedOnes) {
    ComponentModel model = ModelWith({{"A", true}, {"B", false}});
    EXPECT_EQ(model.Lists().components, (TextList{"A", "B"}));
    EXPECT_EQ(model.Lists().states, (TextList{"TRUE", "FALSE"}));
    EXPECT_EQ(model.Lists().sizeTable, (TextList{"A", "0", "B", "0"}));
    model.AppendDeleted("a");
    EXPECT_FALSE(model.GetComponentState("A"));
    model.DefineComponent("A", "again", false);
    EXPECT_TRUE(model.Lists().deleted.empty());
    EXPECT_TRUE(model.GetComponentState("A"));  // the state entry stayed TRUE
    EXPECT_EQ(model.Lists().components.size(), 2u);
    EXPECT_EQ(model.Lists().sizeTable.size(), 4u);
}

TEST(ComponentModel, DefineAfterADamagedStateListStoresTheStateAtItsIndex) {
    ComponentModel model;
    model.MutableLists().components = {"A", "B"};
    model.MutableLists().states = {"TRUE"};  // one state short
    model.DefineComponent("C", "", true);
    model.DefineComponent("B", "", false);
    EXPECT_EQ(model.Lists().states, (TextList{"TRUE", "FALSE", "TRUE"}));
}

TEST(ComponentModel, StatesReadAsBooleans) {
    struct Case {
        const char* entry;
        bool selected;
    };
    const Case cases[] = {{"TRUE", true}, {"true", true}, {"-1", true},    {"FALSE", false},
                          {"1", false},   {"", false},    {" TRUE", false}};
    for (const Case& c : cases) {
        ComponentModel model;
        model.MutableLists().components = {"A"};
        model.MutableLists().states = {c.entry};
        EXPECT_EQ(model.GetComponentState("a"), c.selected) << '"' << c.entry << '"';
    }
    ComponentModel model = ModelWith({{"A", false}});
    model.SetComponentState("a", true);
    EXPECT_EQ(model.StateEntry(0), "TRUE");
    model.SetComponentState("Missing", false);
    model.SetComponentStateByIndex(1, false);
    model.SetComponentStateByIndex(-1, false);
    EXPECT_EQ(model.Lists().states, (TextList{"TRUE"}));
    EXPECT_FALSE(model.GetComponentState("Missing"));
}

TEST(ComponentModel, SizesAndTheirFailures) {
    ComponentModel model;
    model.MutableLists().sizeTable = {"A", "10", "B", "12x", "C", "-5", "D"};
    EXPECT_EQ(model.ComponentSize("a"), 10);
    EXPECT_EQ(model.ComponentSize("c"), -5);
    EXPECT_EQ(model.ComponentSize("Absent"), 0);
    EXPECT_EQ(model.ComponentSize("D"), 0);  // a table cut short after the name
    EXPECT_THROW((void)model.ComponentSize("B"), EngineError);
}

TEST(ComponentModel, SelectedSizeCountsSelectedNotDeletedMinusTheInstalledBase) {
    ComponentModel model =
        ModelWith({{"VELK-PREDEF-COMPONENT", true}, {"A", true}, {"B", false}, {"C", true}});
    model.MutableLists().sizeTable = {"VELK-PREDEF-COMPONENT", "1000", "A", "200", "B", "30", "C", "4"};
    model.AppendHidden("A");  // hidden components count
    EXPECT_EQ(model.SelectedSize(), 1204);
    model.AppendDeleted("C");
    EXPECT_EQ(model.SelectedSize(), 1200);

    // Maintenance: nothing changed gives 0, less selected goes negative.
    model.TakeInstalledBaseSize();
    EXPECT_EQ(model.InstalledBaseSize(), 1200);
    EXPECT_EQ(model.SelectedSize(), 0);
    model.SetComponentState("A", false);
    EXPECT_EQ(model.SelectedSize(), -200);
    model.SetComponentState("B", true);
    EXPECT_EQ(model.SelectedSize(), -170);
}

TEST(ComponentModel, SelectedSizeFailsOnABadSizeLineAndOnOverflow) {
    ComponentModel model = ModelWith({{"A", true}, {"B", true}});
    model.MutableLists().sizeTable = {"A", "lots", "B", "1"};
    EXPECT_THROW((void)model.SelectedSize(), EngineError);
    model.MutableLists().sizeTable = {"A", "9223372036854775807", "B", "1"};
    EXPECT_THROW((void)model.SelectedSize(), EngineError);
}

TEST(ComponentModel, StoreComponentSizeReplacesTheFirstMatchOrAppends) {
    ComponentModel model;
    model.MutableLists().sizeTable = {"A", "1", "a", "2"};
    model.StoreComponentSize("A", 7);
    model.StoreComponentSize("B", 8);
    EXPECT_EQ(model.Lists().sizeTable, (TextList{"A", "7", "a", "2", "B", "8"}));
    model.MutableLists().sizeTable = {"A"};
    model.StoreComponentSize("a", 3);
    EXPECT_EQ(model.Lists().sizeTable, (TextList{"A", "3"}));
}

TEST(ComponentModel, ResetKeepsSizesAndSavedVariables) {
    ComponentModel model = ModelWith({{"A", true}});
    model.AppendDeleted("A");
    model.AppendHidden("A");
    model.AppendLocked("A");
    model.AddSavedVariable("Colour");
    model.AddSavedVariable("COLOUR");
    model.ResetComponents();
    const ComponentLists& lists = model.Lists();
    EXPECT_TRUE(lists.components.empty() && lists.states.empty() && lists.descriptions.empty() &&
                lists.deleted.empty() && lists.hidden.empty() && lists.locked.empty());
    EXPECT_EQ(lists.sizeTable, (TextList{"A", "0"}));
    EXPECT_EQ(model.SavedVariables(), (TextList{"Colour"}));
}

TEST(ParseInt64, ReadsDecimalSixtyFourBitIntegers) {
    struct Case {
        const char* text;
        std::optional<int64_t> value;
    };
    const Case cases[] = {
        {"0", 0},
        {"  42", 42},
        {"+7", 7},
        {"-2048", -2048},
        {"9223372036854775807", std::numeric_limits<int64_t>::max()},
        {"-9223372036854775808", std::numeric_limits<int64_t>::min()},
        {"9223372036854775808", std::nullopt},
        {"-9223372036854775809", std::nullopt},
        {"", std::nullopt},
        {"-", std::nullopt},
        {"12 ", std::nullopt},
        {"0x10", std::nullopt},
        {"1e3", std::nullopt},
    };
    for (const Case& c : cases) EXPECT_EQ(ParseInt64(c.text), c.value) << c.text;
}

}  // namespace
}  // namespace kaviro::installer
