#pragma once
// The dialog rules language. A rules file holds one rule per line:
//
//   IF (Component.Property = Value)  THEN  Component.Property := Value;
//
// (" <> " in place of " = " negates the test). Lines are cut at fixed
// separators rather than parsed: the first 4 characters are skipped, the
// operator is " <> " when that text occurs anywhere in the rest, and each
// part runs up to its separator ("." , the operator, ")  THEN  ", ".",
// " := ", ";"). A separator that is missing gives an empty part and removes
// nothing, so a malformed line yields odd parts but does no harm.
// Values of the form Component.Property are replaced by that property's text
// when the dialog has such a component and property.

#include <string>
#include <string_view>

#include "ui/property_model.h"

namespace kaviro::ui {

enum class RuleComparison { Equal, NotEqual };

struct DialogRule {
    std::string conditionComponent;
    std::string conditionProperty;
    RuleComparison comparison = RuleComparison::Equal;
    std::string conditionValue;
    std::string targetComponent;
    std::string targetProperty;
    std::string targetValue;

    bool operator==(const DialogRule&) const = default;
};

// The fixed-position parse of one rules line.
[[nodiscard]] DialogRule ParseDialogRule(std::string_view line);

// A rule value: the text of Component.Property when the value names an
// existing component property, else the value as written.
[[nodiscard]] std::string ResolveRuleValue(std::string_view value, const PropertyModel& model);

// Applies one rule: when the condition holds (exact, case-sensitive text
// comparison), sets the target property (a missing target is ignored).
void ApplyDialogRule(const DialogRule& rule, PropertyModel& model);

// Applies every rule of the rules comma text once, in file order; a later
// rule may undo an earlier one.
void ApplyDialogRules(std::string_view rulesCommaText, PropertyModel& model);

}  // namespace kaviro::ui
