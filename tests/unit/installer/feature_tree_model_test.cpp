#include "installer/feature_tree_model.h"

#include <gtest/gtest.h>

namespace kaviro::installer {
namespace {

ComponentModel ModelWith(std::initializer_list<std::pair<const char*, bool>> components) {
    ComponentModel model;
    for (const auto& [name, selected] : components) model.DefineComponent(name, "", selected);
    return model;
}

// The tree as text: one line per node in tree order, indented by depth,
// with its data value and image index: "  Help #3 1".
std::string Describe(const FeatureTree& tree) {
    std::string text;
    for (FeatureTree::NodeId id : tree.InTreeOrder()) {
        int depth = 0;
        for (auto up = tree.nodes[id].parent; up; up = tree.nodes[*up].parent) ++depth;
        const FeatureTree::Node& node = tree.nodes[id];
        EXPECT_EQ(node.imageIndex, node.selectedImageIndex);
        text += std::string(2 * depth, ' ') + node.text + " #" + std::to_string(node.data) + " " +
                std::to_string(node.imageIndex) + "\n";
    }
    return text;
}

FeatureTree::NodeId FindNode(const FeatureTree& tree, const std::string& path) {
    for (FeatureTree::NodeId id : tree.InTreeOrder()) {
        if (tree.Path(id) == path)
            return id;
    }
    ADD_FAILURE() << "no node " << path;
    return 0;
}

TEST(FillFeatureTree, BuildsLevelsAndLeavesOutPredefinedDeletedAndHidden) {
    ComponentModel model = ModelWith({{"VELK-PREDEF-COMPONENT", true},
                                      {"Tools", true},
                                      {"Tools\\Help", false},
                                      {"Tools\\Help\\Index", true},
                                      {"Docs\\Api", true},
                                      {"Gone", true},
                                      {"Secret", true},
                                      {"Secret\\Inner", true},
                                      {"docs", false}});
    model.AppendDeleted("gone");
    model.AppendHidden("SECRET");
    FeatureTree tree;
    tree.Add(std::nullopt, "stale");  // emptied first
    FillFeatureTree(model, tree);
    EXPECT_EQ(Describe(tree),
              "Tools #2 1\n"
              "  Help #3 0\n"
              "    Index #4 1\n"
              "Docs #9 0\n"  // plain node of Docs\Api, then component docs attached to it
              "  Api #5 1\n");
    EXPECT_EQ(tree.Path(FindNode(tree, "Tools\\Help\\Index")), "Tools\\Help\\Index");
}

TEST(FillFeatureTree, FirstLevelIsLookedUpAmongAllNodes) {
    ComponentModel model = ModelWith({{"A\\B", true}, {"B", false}, {"B\\C", true}});
    FeatureTree tree;
    FillFeatureTree(model, tree);
    EXPECT_EQ(Describe(tree),
              "A #0 0\n"
              "  B #2 0\n"
              "    C #3 1\n");
}

TEST(FillFeatureTree, ImageFollowsTheExactStateText) {
    ComponentModel model;
    model.MutableLists().components = {"A", "B", "C"};
    model.MutableLists().states = {"true", "-1", "TRUE"};
    FeatureTree tree;
    FillFeatureTree(model, tree);
    EXPECT_EQ(Describe(tree), "A #1 0\nB #2 0\nC #3 1\n");
}

TEST(FillFeatureCheckList, TopLevelComponentsOnly) {
    ComponentModel model = ModelWith({{"VELK-PREDEF-COMPONENT", true},
                                      {"Tools", true},
                                      {"Tools\\Help", true},
                                      {"Docs", false},
                                      {"Gone", true},
                                      {"Hidden", true},
                                      {"Shown", true}});
    model.AppendDeleted("Gone");
    model.AppendHidden("Hidden");
    model.AppendHidden("Shown\\Child");
    FeatureCheckList box;
    box.items.push_back({"stale", true});
    FillFeatureCheckList(model, box);
    ASSERT_EQ(box.items.size(), 3u);
    EXPECT_EQ(box.items[0].text, "Tools");
    EXPECT_TRUE(box.items[0].checked);
    EXPECT_EQ(box.items[1].text, "Docs");
    EXPECT_FALSE(box.items[1].checked);
    EXPECT_EQ(box.items[2].text, "Shown");
}

TEST(FillFeatureCheckList, HidingAParentHidesItsChildrenInTheTreeOnly) {
    ComponentModel model = ModelWith({{"Tools", true}, {"Tools\\Help", true}, {"Other", true}});
    model.AppendHidden("Tools");
    FeatureTree tree;
    FillFeatureTree(model, tree);
    EXPECT_EQ(Describe(tree), "Other #3 1\n");
    FeatureCheckList box;
    FillFeatureCheckList(model, box);
    ASSERT_EQ(box.items.size(), 1u);
    EXPECT_EQ(box.items[0].text, "Other");
}

TEST(ApplyFeatureCheckList, PrefixMatchAndLockedComponents) {
    struct Case {
        const char* name;
        const char* locked;  // empty: none
        const char* itemText;
        bool itemChecked;
        TextList states;  // Tools, Tools\Help, Toolbox, Docs
        bool markAfter;
    };
    const Case cases[] = {
        {"item deselects itself and its children",
         "",
         "Tools",
         false,
         {"FALSE", "FALSE", "TRUE", "TRUE"},
         false},
        {"prefix of several names", "", "tool", false, {"FALSE", "FALSE", "FALSE", "TRUE"}, false},
        {"locked parent keeps itself and its subtree",
         "Tools",
         "Tools",
         false,
         {"TRUE", "TRUE", "TRUE", "TRUE"},
         true},
        {"locked child keeps its state",
         "TOOLS\\HELP",
         "Tools",
         false,
         {"FALSE", "TRUE", "TRUE", "TRUE"},
         true},
        {"mark follows the last matching component",
         "Toolbox",
         "Tool",
         false,
         {"FALSE", "FALSE", "TRUE", "TRUE"},
         true},
        {"item with a level leaves its mark",
         "TOOLS\\HELP",
         "Tools\\",
         false,
         {"TRUE", "TRUE", "TRUE", "TRUE"},
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ComponentModel model =
            ModelWith({{"Tools", true}, {"Tools\\Help", true}, {"Toolbox", true}, {"Docs", true}});
        if (*c.locked)
            model.AppendLocked(c.locked);
        FeatureCheckList box;
        box.items.push_back({c.itemText, c.itemChecked});
        ApplyFeatureCheckList(model, box);
        EXPECT_EQ(model.Lists().states, c.states);
        EXPECT_EQ(box.items[0].checked, c.markAfter);
    }
}

TEST(ApplyFeatureCheckList, EveryItemInOrder) {
    ComponentModel model = ModelWith({{"A", false}, {"B", true}, {"C", true}});
    FeatureCheckList box;
    FillFeatureCheckList(model, box);
    box.items[0].checked = true;
    box.items[2].checked = false;
    ApplyFeatureCheckList(model, box);
    EXPECT_EQ(model.Lists().states, (TextList{"TRUE", "TRUE", "FALSE"}));
    EXPECT_TRUE(box.items[0].checked);
    EXPECT_FALSE(box.items[2].checked);
}

class SetNodeSelectionTest : public ::testing::Test {
  protected:
    void SetUp() override {
        model_ = ModelWith({{"Tools", false},
                            {"Tools\\Help", false},
                            {"Tools\\Help\\Index", false},
                            {"Tools\\Samples", false},
                            {"Group\\Leaf", false}});
    }
    void Fill() { FillFeatureTree(model_, tree_); }
    ComponentModel model_;
    FeatureTree tree_;
};

TEST_F(SetNodeSelectionTest, RecursionSelectsTheSubtreeAndUpdatesImages) {
    Fill();
    SetNodeSelection(model_, tree_, FindNode(tree_, "Tools"), true, true);
    EXPECT_EQ(model_.Lists().states, (TextList{"TRUE", "TRUE", "TRUE", "TRUE", "FALSE"}));
    EXPECT_EQ(Describe(tree_),
              "Tools #1 1\n  Help #2 1\n    Index #3 1\n  Samples #4 1\nGroup #0 0\n  Leaf #5 0\n");
    SetNodeSelection(model_, tree_, FindNode(tree_, "Tools"), false, false);
    EXPECT_EQ(model_.Lists().states, (TextList{"FALSE", "TRUE", "TRUE", "TRUE", "FALSE"}));
    // A plain node passes the recursion on to its children.
    SetNodeSelection(model_, tree_, FindNode(tree_, "Group"), true, true);
    EXPECT_EQ(model_.StateEntry(4), "TRUE");
}

TEST_F(SetNodeSelectionTest, ALockedChildKeepsItsWholeSubtree) {
    model_.AppendLocked("Tools\\Help");
    Fill();
    SetNodeSelection(model_, tree_, FindNode(tree_, "Tools"), true, true);
    EXPECT_EQ(model_.Lists().states, (TextList{"TRUE", "FALSE", "FALSE", "TRUE", "FALSE"}));
    EXPECT_EQ(tree_.nodes[FindNode(tree_, "Tools\\Help\\Index")].imageIndex, 0);
}

TEST_F(SetNodeSelectionTest, LockingAParentKeepsChildrenFromRecursion) {
    model_.AppendLocked("Tools");
    Fill();
    // The dialog refuses the menu on a locked node; the subtree below it
    // is locked through its ancestor.
    SetNodeSelection(model_, tree_, FindNode(tree_, "Tools"), true, true);
    EXPECT_EQ(model_.Lists().states, (TextList{"TRUE", "FALSE", "FALSE", "FALSE", "FALSE"}));
}

TEST_F(SetNodeSelectionTest, TheFourMenuChoices) {
    struct Case {
        FeatureChoice choice;
        const char* start;  // states before, one letter per component: T or F
        TextList states;
    };
    const Case cases[] = {
        {FeatureChoice::InstallEntireFeature, "FFFFF", {"TRUE", "TRUE", "TRUE", "FALSE", "FALSE"}},
        {FeatureChoice::InstallNodeOnly, "FFFFF", {"TRUE", "TRUE", "FALSE", "FALSE", "FALSE"}},
        {FeatureChoice::EntireFeatureUnavailable, "TTTTT", {"TRUE", "FALSE", "FALSE", "TRUE", "TRUE"}},
        {FeatureChoice::DoNotInstallNodeOnly, "TTTTT", {"TRUE", "FALSE", "TRUE", "TRUE", "TRUE"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.choice));
        for (int i = 0; i < 5; ++i) model_.SetComponentStateByIndex(i, c.start[i] == 'T');
        Fill();
        ApplyFeatureChoice(model_, tree_, FindNode(tree_, "Tools\\Help"), c.choice);
        EXPECT_EQ(model_.Lists().states, c.states);
        EXPECT_EQ(tree_.nodes[FindNode(tree_, "Tools")].imageIndex, c.states[0] == "TRUE" ? 1 : 0);
    }
}

TEST_F(SetNodeSelectionTest, AStaleIndexChangesNothing) {
    Fill();
    model_.ResetComponents();
    SetNodeSelection(model_, tree_, FindNode(tree_, "Tools"), true, true);
    EXPECT_TRUE(model_.Lists().states.empty());
}

}  // namespace
}  // namespace kaviro::installer
