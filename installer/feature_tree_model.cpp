#include "installer/feature_tree_model.h"

#include "engine/text_util.h"
#include "installer/component_name.h"

namespace kaviro::installer {
namespace {

std::vector<std::string> SplitLevels(std::string_view name) {
    std::vector<std::string> levels;
    std::size_t start = 0;
    while (true) {
        const std::size_t cut = name.find('\\', start);
        levels.emplace_back(
            name.substr(start, cut == std::string_view::npos ? std::string_view::npos : cut - start));
        if (cut == std::string_view::npos)
            break;
        start = cut + 1;
    }
    return levels;
}

bool IsShownInTree(const ComponentModel& model, const std::string& name) {
    return name != kPredefinedComponent && !model.IsDeleted(name) && !model.IsHiddenOrAncestorHidden(name);
}

void AppendInTreeOrder(const FeatureTree& tree, FeatureTree::NodeId node,
                       std::vector<FeatureTree::NodeId>& out) {
    out.push_back(node);
    for (FeatureTree::NodeId child : tree.nodes[node].children) AppendInTreeOrder(tree, child, out);
}

void SetImage(FeatureTree::Node& node, bool selected) {
    node.imageIndex = selected ? 1 : 0;
    node.selectedImageIndex = node.imageIndex;
}

// The component name a node stands for, or nothing for a plain node or an
// index the model no longer has.
const std::string* NodeComponent(const ComponentModel& model, const FeatureTree::Node& node) {
    if (node.data <= 0 || static_cast<std::size_t>(node.data) > model.Lists().components.size())
        return nullptr;
    return &model.Lists().components[static_cast<std::size_t>(node.data) - 1];
}

}  // namespace

FeatureTree::NodeId FeatureTree::Add(std::optional<NodeId> parent, std::string text) {
    const NodeId id = nodes.size();
    Node node;
    node.text = std::move(text);
    node.parent = parent;
    nodes.push_back(std::move(node));
    if (parent) {
        nodes[*parent].children.push_back(id);
    } else {
        roots.push_back(id);
    }
    return id;
}

std::vector<FeatureTree::NodeId> FeatureTree::InTreeOrder() const {
    std::vector<NodeId> order;
    order.reserve(nodes.size());
    for (NodeId root : roots) AppendInTreeOrder(*this, root, order);
    return order;
}

std::string FeatureTree::Path(NodeId node) const {
    std::string path = nodes[node].text;
    for (std::optional<NodeId> up = nodes[node].parent; up; up = nodes[*up].parent) {
        path = nodes[*up].text + "\\" + path;
    }
    return path;
}

void FillFeatureTree(const ComponentModel& model, FeatureTree& tree) {
    tree.Clear();
    const TextList& components = model.Lists().components;
    for (std::size_t index = 0; index < components.size(); ++index) {
        const std::string& name = components[index];
        if (!IsShownInTree(model, name))
            continue;
        std::optional<FeatureTree::NodeId> current;
        bool first = true;
        for (std::string& level : SplitLevels(name)) {
            std::optional<FeatureTree::NodeId> found;
            const std::vector<FeatureTree::NodeId> candidates =
                first ? tree.InTreeOrder() : tree.nodes[*current].children;
            for (FeatureTree::NodeId candidate : candidates) {
                if (ComponentNamesEqual(tree.nodes[candidate].text, level)) {
                    found = candidate;
                    break;
                }
            }
            current = found ? *found : tree.Add(first ? std::nullopt : current, std::move(level));
            first = false;
        }
        FeatureTree::Node& node = tree.nodes[*current];
        SetImage(node, model.StateEntry(static_cast<int>(index)) == "TRUE");
        node.data = static_cast<int>(index) + 1;
    }
}

void FillFeatureCheckList(const ComponentModel& model, FeatureCheckList& box) {
    box.items.clear();
    const TextList& components = model.Lists().components;
    for (std::size_t index = 0; index < components.size(); ++index) {
        const std::string& name = components[index];
        if (name.find('\\') != std::string::npos || name == kPredefinedComponent || model.IsDeleted(name) ||
            model.IsHidden(name))
            continue;
        box.items.push_back({name, model.StateEntry(static_cast<int>(index)) == "TRUE"});
    }
}

void ApplyFeatureCheckList(ComponentModel& model, FeatureCheckList& box) {
    for (FeatureCheckList::Item& item : box.items) {
        const bool selected = item.checked;
        const std::string prefix = UpperCase(item.text);
        const bool topLevelItem = item.text.find('\\') == std::string::npos;
        for (std::size_t index = 0; index < model.Lists().components.size(); ++index) {
            const std::string& name = model.Lists().components[index];
            if (!UpperCase(name).starts_with(prefix))
                continue;
            if (!model.IsLockedOrAncestorLocked(name) && !model.IsLocked(name)) {
                model.SetComponentStateByIndex(static_cast<int>(index), selected);
            }
            if (topLevelItem)
                item.checked = model.StateEntry(static_cast<int>(index)) == "TRUE";
        }
    }
}

void SetNodeSelection(ComponentModel& model, FeatureTree& tree, FeatureTree::NodeId node, bool recurse,
                      bool selected) {
    if (tree.nodes[node].data > 0) {
        model.SetComponentStateByIndex(tree.nodes[node].data - 1, selected);
        SetImage(tree.nodes[node], selected);
    }
    if (!recurse)
        return;
    // Copied: the recursion does not change the tree's shape, but a copy
    // keeps the loop independent of the node vector.
    const std::vector<FeatureTree::NodeId> children = tree.nodes[node].children;
    for (FeatureTree::NodeId child : children) {
        const std::string* component = NodeComponent(model, tree.nodes[child]);
        if (component && model.IsLockedOrAncestorLocked(*component))
            continue;
        SetNodeSelection(model, tree, child, true, selected);
    }
}

void ApplyFeatureChoice(ComponentModel& model, FeatureTree& tree, FeatureTree::NodeId node,
                        FeatureChoice choice) {
    const bool selected =
        choice == FeatureChoice::InstallEntireFeature || choice == FeatureChoice::InstallNodeOnly;
    const bool recurse =
        choice == FeatureChoice::InstallEntireFeature || choice == FeatureChoice::EntireFeatureUnavailable;
    SetNodeSelection(model, tree, node, recurse, selected);
    if (!selected)
        return;
    for (std::optional<FeatureTree::NodeId> up = tree.nodes[node].parent; up; up = tree.nodes[*up].parent) {
        SetNodeSelection(model, tree, *up, false, true);
    }
}

}  // namespace kaviro::installer
