#pragma once
// Published properties of a dialog's components, read and written as the
// text the form library's property editors show: "True"/"False" for
// booleans, decimal integers, identifiers for enumerations, "[fsBold,fsItalic]"
// for sets, the text itself for strings. The dialog rules and the host work
// through this interface; the live controls implement it on Win32 and
// ComponentTreePropertyModel implements it over a component tree.

#include <optional>
#include <string>
#include <string_view>

#include "ui/component_tree.h"

namespace kaviro::ui {

class PropertyModel {
  public:
    virtual ~PropertyModel() = default;

    // The property's text, or nullopt when the dialog has no component of
    // that Name (the dialog itself is not one of its components) or the
    // component has no such published property. Names ignore case.
    [[nodiscard]] virtual std::optional<std::string> ReadProperty(std::string_view component,
                                                                  std::string_view property) const = 0;

    // Sets the property from its text. Returns false, changing nothing, when
    // the component or property does not exist or the text is not a value of
    // the property's type.
    virtual bool WriteProperty(std::string_view component, std::string_view property,
                               std::string_view text) = 0;

    // ReadProperty, with a missing component or property read as empty text.
    [[nodiscard]] std::string PropertyText(std::string_view component, std::string_view property) const {
        return ReadProperty(component, property).value_or(std::string());
    }
};

// The property editor text of a stored value. Strings come out as ANSI text;
// lists as their items' texts joined by CRLF; binary data, collections and
// nil as empty text.
[[nodiscard]] std::string PropertyValueText(const PropertyValue& value);

// A value of the same kind as `current` read from property editor text, or
// nullopt when the text is not such a value. Integers take the smallest
// integer type (32-bit properties stay within 32 bits), strings become short
// or long ANSI strings.
[[nodiscard]] std::optional<PropertyValue> PropertyValueFromText(std::string_view text,
                                                                 const PropertyValue& current);

// The model over a component tree read from a dialog file. A component's
// properties are those stored in the stream plus the published properties
// its class declares with their defaults (see published_properties.h); a
// write to a property that is not stored yet adds it. The tree must outlive
// the model.
class ComponentTreePropertyModel final : public PropertyModel {
  public:
    explicit ComponentTreePropertyModel(Component& root) : root_(&root) {}

    [[nodiscard]] std::optional<std::string> ReadProperty(std::string_view component,
                                                          std::string_view property) const override;
    bool WriteProperty(std::string_view component, std::string_view property, std::string_view text) override;

  private:
    Component* root_;
};

// The first component below root (depth first, in stream order) whose Name
// matches, ignoring case; nullptr when none.
[[nodiscard]] Component* FindComponent(Component& root, std::string_view name);

}  // namespace kaviro::ui
