#pragma once
// The feature dialogs' view of the component model, kept apart from real
// controls: the dialog host mirrors these models into its tree view and
// check list box and feeds the user's changes back through the functions
// below.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "installer/component_model.h"

namespace kaviro::installer {

// A tree of nodes. Nodes are addressed by their position in `nodes`, which
// stays valid until the tree is emptied.
struct FeatureTree {
    using NodeId = std::size_t;
    struct Node {
        std::string text;
        // 1-based index of the node's component; 0 for a plain node that
        // only groups the levels below it.
        int data = 0;
        // 1 = selected, 0 = not selected.
        int imageIndex = 0;
        int selectedImageIndex = 0;
        std::optional<NodeId> parent;
        std::vector<NodeId> children;
    };
    std::vector<Node> nodes;
    std::vector<NodeId> roots;

    void Clear() {
        nodes.clear();
        roots.clear();
    }
    NodeId Add(std::optional<NodeId> parent, std::string text);
    // Every node in tree order: depth first, each node before its children.
    [[nodiscard]] std::vector<NodeId> InTreeOrder() const;
    // The node texts from the top level down, joined by "\".
    [[nodiscard]] std::string Path(NodeId node) const;
};

struct FeatureCheckList {
    struct Item {
        std::string text;
        bool checked = false;
    };
    std::vector<Item> items;
};

// Builds the tree from the components in list order, leaving out the
// predefined component, deleted components and hidden subtrees. Levels are
// matched by name; the first level among all nodes of the tree, so a
// component B defined after A\B lands on the node B under A.
void FillFeatureTree(const ComponentModel& model, FeatureTree& tree);

// Top-level components only (no "\"), not predefined, deleted or hidden.
void FillFeatureCheckList(const ComponentModel& model, FeatureCheckList& box);

// Writes the check marks back: every component whose name begins with the
// item text (case ignored) takes the item's state unless it is locked; the
// mark of an item without "\" then follows the last matching component.
void ApplyFeatureCheckList(ComponentModel& model, FeatureCheckList& box);

// Selects or deselects the node's component and, with recurse, every child
// subtree whose component is not locked (a locked child keeps its whole
// subtree as it is).
void SetNodeSelection(ComponentModel& model, FeatureTree& tree, FeatureTree::NodeId node, bool recurse,
                      bool selected);

// The choices of the tree's feature menu.
enum class FeatureChoice {
    InstallEntireFeature,      // node and subtree selected, ancestors selected
    InstallNodeOnly,           // node selected, ancestors selected
    EntireFeatureUnavailable,  // node and subtree not selected
    DoNotInstallNodeOnly,      // node not selected
};
void ApplyFeatureChoice(ComponentModel& model, FeatureTree& tree, FeatureTree::NodeId node,
                        FeatureChoice choice);

}  // namespace kaviro::installer
