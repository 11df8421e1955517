#include "ui/dialog_rules.h"

#include "ui/comma_text.h"

namespace kaviro::ui {

namespace {

// The text up to the first occurrence of separator, removed from `rest`
// together with the separator. Without the separator the part is empty and
// `rest` stays as it is.
std::string TakeUpTo(std::string_view& rest, std::string_view separator) {
    const std::size_t at = rest.find(separator);
    if (at == std::string_view::npos) {
        return std::string();
    }
    std::string part(rest.substr(0, at));
    rest.remove_prefix(at + separator.size());
    return part;
}

}  // namespace

DialogRule ParseDialogRule(std::string_view line) {
    DialogRule rule;
    std::string_view rest = line.size() > 4 ? line.substr(4) : std::string_view{};
    const bool notEqual = rest.find(" <> ") != std::string_view::npos;
    rule.comparison = notEqual ? RuleComparison::NotEqual : RuleComparison::Equal;
    rule.conditionComponent = TakeUpTo(rest, ".");
    rule.conditionProperty = TakeUpTo(rest, notEqual ? " <> " : " = ");
    rule.conditionValue = TakeUpTo(rest, ")  THEN  ");
    rule.targetComponent = TakeUpTo(rest, ".");
    rule.targetProperty = TakeUpTo(rest, " := ");
    rule.targetValue = TakeUpTo(rest, ";");
    return rule;
}

std::string ResolveRuleValue(std::string_view value, const PropertyModel& model) {
    const std::size_t dot = value.find('.');
    if (dot == std::string_view::npos) {
        return std::string(value);
    }
    std::optional<std::string> text = model.ReadProperty(value.substr(0, dot), value.substr(dot + 1));
    return text ? std::move(*text) : std::string(value);
}

void ApplyDialogRule(const DialogRule& rule, PropertyModel& model) {
    const std::string expected = ResolveRuleValue(rule.conditionValue, model);
    const std::string actual = model.PropertyText(rule.conditionComponent, rule.conditionProperty);
    const bool holds = (actual == expected) == (rule.comparison == RuleComparison::Equal);
    if (holds) {
        // A target that does not exist, or a value its property cannot take,
        // leaves the dialog as it is: rules never fail.
        static_cast<void>(model.WriteProperty(rule.targetComponent, rule.targetProperty,
                                              ResolveRuleValue(rule.targetValue, model)));
    }
}

void ApplyDialogRules(std::string_view rulesCommaText, PropertyModel& model) {
    for (const std::string& line : SplitCommaText(rulesCommaText)) {
        ApplyDialogRule(ParseDialogRule(line), model);
    }
}

}  // namespace kaviro::ui
