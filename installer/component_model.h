#pragma once
// The model of the product's optional components (features): names in
// definition order with their selection states and descriptions, the size
// table, the deleted, hidden and locked sets, the saved-variable list, the
// media layout code and the installed base size. It is a selection store
// with dialog support; what gets installed is decided by the script, which
// tests the states.
//
// Names are paths whose levels are separated by "\" (Tools\Help is a child
// of Tools). All values are text; the lists keep order and allow duplicates.
// Name lookups compare whole names with ComponentNamesEqual and take the
// first match in list order.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "engine/package_format.h"

namespace kaviro::installer {

// The component that stands for the part of the product that belongs to no
// optional component: selected, counted in sizes, never shown.
inline constexpr std::string_view kPredefinedComponent = "VELK-PREDEF-COMPONENT";

// After upper-casing "TRUE" is true, the exact text "-1" is true too;
// anything else is false.
[[nodiscard]] bool ReadBoolean(std::string_view text);
[[nodiscard]] inline const char* BooleanText(bool value) {
    return value ? "TRUE" : "FALSE";
}

// The lists as the setup data file stores them.
struct ComponentLists {
    TextList components;    // names in definition order
    TextList states;        // parallel: "TRUE", "FALSE", or empty when not set yet
    TextList descriptions;  // parallel, may be shorter
    TextList deleted;
    TextList hidden;
    TextList locked;
    TextList sizeTable;  // alternating name and size in bytes (decimal)
};

class ComponentModel {
  public:
    // Start-up: the size table and media layout code from the package's
    // component section; all other lists empty.
    void LoadFromPackage(const Script& script);

    [[nodiscard]] const ComponentLists& Lists() const { return lists_; }
    // Direct access for the setup data file reader.
    ComponentLists& MutableLists() { return lists_; }

    [[nodiscard]] int32_t MediaLayoutCode() const { return mediaLayoutCode_; }
    void SetMediaLayoutCode(int32_t code) { mediaLayoutCode_ = code; }

    // Lookups.
    [[nodiscard]] int IndexOfComponent(std::string_view name) const;
    [[nodiscard]] bool ComponentExists(std::string_view name) const { return IndexOfComponent(name) >= 0; }
    [[nodiscard]] bool IsDeleted(std::string_view name) const;
    [[nodiscard]] bool IsHidden(std::string_view name) const;
    [[nodiscard]] bool IsLocked(std::string_view name) const;
    // The test applied to the name and then to each parent path.
    [[nodiscard]] bool IsHiddenOrAncestorHidden(std::string_view name) const;
    [[nodiscard]] bool IsLockedOrAncestorLocked(std::string_view name) const;

    // Definition and states.
    void DefineComponent(std::string_view name, std::string_view description, bool selected);
    void SetComponentState(std::string_view name, bool selected);
    // Nothing happens for an index outside the component list.
    void SetComponentStateByIndex(int index, bool selected);
    [[nodiscard]] bool GetComponentState(std::string_view name) const;
    // The state entry of a component (empty when not set or out of range).
    [[nodiscard]] std::string StateEntry(int index) const;
    [[nodiscard]] std::string ComponentDescription(std::string_view name) const;

    // Sizes. A size line that is not a decimal 64-bit integer makes the
    // lookup fail with EngineError (a conversion error).
    [[nodiscard]] int64_t ComponentSize(std::string_view name) const;
    // Sum of the sizes of the selected, not deleted components minus the
    // installed base size; negative when less than installed is selected.
    [[nodiscard]] int64_t SelectedSize() const;
    // Takes the current selected sum (base not subtracted) as the installed base size.
    void TakeInstalledBaseSize();
    [[nodiscard]] int64_t InstalledBaseSize() const { return installedBaseSize_; }
    // The line after the first size-table line equal to the name becomes
    // the size; the name and size are appended when there is none.
    void StoreComponentSize(std::string_view name, int64_t size);
    // Appends the name and "0" when the size table has no line equal to it.
    void EnsureSizeEntry(std::string_view name);

    // Flag sets. Appending keeps duplicates out only where the callers check.
    void AppendDeleted(std::string_view name) { lists_.deleted.emplace_back(name); }
    void AppendHidden(std::string_view name) { lists_.hidden.emplace_back(name); }
    void AppendLocked(std::string_view name) { lists_.locked.emplace_back(name); }
    // Removes the first entry equal to the name; true when one was removed.
    bool RemoveHidden(std::string_view name);
    bool RemoveLocked(std::string_view name);

    // Empties the component, state, description, deleted, hidden and locked
    // lists (not the size table, not the saved-variable list).
    void ResetComponents();

    // Names of variables written to the setup data file.
    [[nodiscard]] const TextList& SavedVariables() const { return savedVariables_; }
    // Adds the name unless it is already listed (case ignored).
    void AddSavedVariable(std::string_view name);
    // The list itself, for the run's "Set Variable" statements to mark names in.
    TextList& MutableSavedVariables() { return savedVariables_; }

  private:
    [[nodiscard]] int64_t SelectedSum() const;

    ComponentLists lists_;
    TextList savedVariables_;
    int32_t mediaLayoutCode_ = 1;
    int64_t installedBaseSize_ = 0;
};

}  // namespace kaviro::installer
