#include "installer/component_model.h"

#include <algorithm>

#include "engine/engine_error.h"
#include "engine/text_util.h"
#include "installer/component_name.h"

namespace kaviro::installer {
namespace {

// Position of the first entry equal to the name, or -1.
int FindName(const TextList& list, std::string_view name) {
    for (std::size_t i = 0; i < list.size(); ++i) {
        if (ComponentNamesEqual(list[i], name))
            return static_cast<int>(i);
    }
    return -1;
}

bool RemoveFirst(TextList& list, std::string_view name) {
    const int index = FindName(list, name);
    if (index < 0)
        return false;
    list.erase(list.begin() + index);
    return true;
}

// Applies the test to the name and then to each parent path obtained by
// cutting the last "\" level.
template <typename Test>
bool SelfOrAncestor(std::string_view name, Test test) {
    while (!name.empty()) {
        if (test(name))
            return true;
        const std::size_t cut = name.rfind('\\');
        if (cut == std::string_view::npos)
            break;
        name = name.substr(0, cut);
    }
    return false;
}

void EnsureSize(TextList& list, std::size_t size) {
    if (list.size() < size)
        list.resize(size);
}

}  // namespace

bool ReadBoolean(std::string_view text) {
    return UpperCase(text) == "TRUE" || text == "-1";
}

void ComponentModel::LoadFromPackage(const Script& script) {
    mediaLayoutCode_ = script.mediaLayoutCode;
    lists_.sizeTable.insert(lists_.sizeTable.end(), script.componentSection.begin(),
                            script.componentSection.end());
}

int ComponentModel::IndexOfComponent(std::string_view name) const {
    return FindName(lists_.components, name);
}

bool ComponentModel::IsDeleted(std::string_view name) const {
    return FindName(lists_.deleted, name) >= 0;
}
bool ComponentModel::IsHidden(std::string_view name) const {
    return FindName(lists_.hidden, name) >= 0;
}
bool ComponentModel::IsLocked(std::string_view name) const {
    return FindName(lists_.locked, name) >= 0;
}

bool ComponentModel::IsHiddenOrAncestorHidden(std::string_view name) const {
    return SelfOrAncestor(name, [this](std::string_view path) { return IsHidden(path); });
}

bool ComponentModel::IsLockedOrAncestorLocked(std::string_view name) const {
    return SelfOrAncestor(name, [this](std::string_view path) { return IsLocked(path); });
}

void ComponentModel::DefineComponent(std::string_view name, std::string_view description, bool selected) {
    const int found = IndexOfComponent(name);
    if (found >= 0) {
        const auto index = static_cast<std::size_t>(found);
        // Defining a deleted component again restores it.
        const auto deleted =
            std::find_if(lists_.deleted.begin(), lists_.deleted.end(),
                         [&](const std::string& entry) { return EqualsIgnoreCase(entry, name); });
        if (deleted != lists_.deleted.end())
            lists_.deleted.erase(deleted);
        EnsureSize(lists_.descriptions, index + 1);
        EnsureSizeEntry(name);
        lists_.descriptions[index] = std::string(description);
        // A state that is already set (for instance loaded from a setup data
        // file) stays.
        if (StateEntry(found).empty()) {
            EnsureSize(lists_.states, index + 1);
            lists_.states[index] = BooleanText(selected);
        }
        return;
    }
    lists_.components.emplace_back(name);
    const std::size_t index = lists_.components.size() - 1;
    EnsureSize(lists_.descriptions, index + 1);
    lists_.descriptions[index] = std::string(description);
    EnsureSizeEntry(name);
    // The state list may be out of step after a damaged setup data file; the
    // new component's state goes to its own index all the same.
    EnsureSize(lists_.states, index + 1);
    lists_.states[index] = BooleanText(selected);
}

void ComponentModel::SetComponentState(std::string_view name, bool selected) {
    SetComponentStateByIndex(IndexOfComponent(name), selected);
}

void ComponentModel::SetComponentStateByIndex(int index, bool selected) {
    if (index < 0 || static_cast<std::size_t>(index) >= lists_.components.size())
        return;
    EnsureSize(lists_.states, static_cast<std::size_t>(index) + 1);
    lists_.states[static_cast<std::size_t>(index)] = BooleanText(selected);
}

bool ComponentModel::GetComponentState(std::string_view name) const {
    const int index = IndexOfComponent(name);
    if (index < 0 || IsDeleted(name))
        return false;
    return ReadBoolean(StateEntry(index));
}

std::string ComponentModel::StateEntry(int index) const {
    if (index < 0 || static_cast<std::size_t>(index) >= lists_.states.size())
        return {};
    return lists_.states[static_cast<std::size_t>(index)];
}

std::string ComponentModel::ComponentDescription(std::string_view name) const {
    const int index = IndexOfComponent(name);
    if (index < 0 || static_cast<std::size_t>(index) >= lists_.descriptions.size())
        return {};
    return lists_.descriptions[static_cast<std::size_t>(index)];
}

int64_t ComponentModel::ComponentSize(std::string_view name) const {
    const int index = FindName(lists_.sizeTable, name);
    // A name on the last line (a table cut short) has no size.
    if (index < 0 || static_cast<std::size_t>(index) + 1 >= lists_.sizeTable.size())
        return 0;
    const std::string& line = lists_.sizeTable[static_cast<std::size_t>(index) + 1];
    const std::optional<int64_t> size = ParseInt64(line);
    if (!size) {
        throw EngineError("Size of component \"" + std::string(name) + "\" is not a valid integer: \"" +
                          line + "\"");
    }
    return *size;
}

int64_t ComponentModel::SelectedSum() const {
    int64_t sum = 0;
    for (std::size_t i = 0; i < lists_.components.size(); ++i) {
        const std::string& name = lists_.components[i];
        if (!ReadBoolean(StateEntry(static_cast<int>(i))) || IsDeleted(name))
            continue;
        if (__builtin_add_overflow(sum, ComponentSize(name), &sum)) {
            throw EngineError("The selected size does not fit in a 64-bit integer");
        }
    }
    return sum;
}

int64_t ComponentModel::SelectedSize() const {
    int64_t result = 0;
    if (__builtin_sub_overflow(SelectedSum(), installedBaseSize_, &result)) {
        throw EngineError("The selected size does not fit in a 64-bit integer");
    }
    return result;
}

void ComponentModel::TakeInstalledBaseSize() {
    installedBaseSize_ = SelectedSum();
}

void ComponentModel::StoreComponentSize(std::string_view name, int64_t size) {
    const int index = FindName(lists_.sizeTable, name);
    if (index < 0) {
        lists_.sizeTable.emplace_back(name);
        lists_.sizeTable.push_back(std::to_string(size));
        return;
    }
    const auto sizeLine = static_cast<std::size_t>(index) + 1;
    if (sizeLine < lists_.sizeTable.size()) {
        lists_.sizeTable[sizeLine] = std::to_string(size);
    } else {
        // The name stands on the last line of a table cut short: complete the pair.
        lists_.sizeTable.push_back(std::to_string(size));
    }
}

void ComponentModel::EnsureSizeEntry(std::string_view name) {
    if (FindName(lists_.sizeTable, name) >= 0)
        return;
    lists_.sizeTable.emplace_back(name);
    lists_.sizeTable.emplace_back("0");
}

bool ComponentModel::RemoveHidden(std::string_view name) {
    return RemoveFirst(lists_.hidden, name);
}
bool ComponentModel::RemoveLocked(std::string_view name) {
    return RemoveFirst(lists_.locked, name);
}

void ComponentModel::ResetComponents() {
    lists_.components.clear();
    lists_.states.clear();
    lists_.descriptions.clear();
    lists_.deleted.clear();
    lists_.hidden.clear();
    lists_.locked.clear();
}

void ComponentModel::AddSavedVariable(std::string_view name) {
    const bool listed = std::any_of(savedVariables_.begin(), savedVariables_.end(),
                                    [&](const std::string& entry) { return EqualsIgnoreCase(entry, name); });
    if (!listed)
        savedVariables_.emplace_back(name);
}

}  // namespace kaviro::installer
