#include "ui/published_properties.h"

#include <array>
#include <initializer_list>

#include "ui/registered_classes.h"
#include "ui/text_compare.h"

namespace kaviro::ui {

namespace {

enum class DefaultKind { Boolean, Integer, Identifier, Text, EmptySet };

struct PublishedDefault {
    std::string_view property;
    DefaultKind kind;
    std::string_view text;     // "True"/"False", decimal integer, identifier or string
    std::string_view classes;  // space-separated class names; "*" for every registered class
};

// The properties rules and binding commonly touch, per class.
constexpr std::array kDefaults = {
    PublishedDefault{"Enabled", DefaultKind::Boolean, "True", "*"},
    PublishedDefault{"Visible", DefaultKind::Boolean, "True", "*"},
    PublishedDefault{"ShowHint", DefaultKind::Boolean, "False", "*"},
    PublishedDefault{"Tag", DefaultKind::Integer, "0", "*"},
    PublishedDefault{"Left", DefaultKind::Integer, "0", "*"},
    PublishedDefault{"Top", DefaultKind::Integer, "0", "*"},
    PublishedDefault{"Hint", DefaultKind::Text, "", "*"},
    PublishedDefault{"Caption", DefaultKind::Text, "",
                     "TLabel TButton TRzCheckBox TRzRadioButton TGroupBox TPanel TBitBtn TSpeedButton "
                     "TStaticText TTabSheet TRzBmpButton TFlashFrame"},
    PublishedDefault{"Text", DefaultKind::Text, "", "TEdit TMaskEdit TComboBox"},
    PublishedDefault{"MaxLength", DefaultKind::Integer, "0", "TEdit TMaskEdit TMemo TRichEdit TComboBox"},
    PublishedDefault{"ReadOnly", DefaultKind::Boolean, "False", "TEdit TMaskEdit TMemo TRichEdit"},
    PublishedDefault{"Checked", DefaultKind::Boolean, "False", "TRzCheckBox TRzRadioButton"},
    PublishedDefault{"State", DefaultKind::Identifier, "cbUnchecked", "TRzCheckBox"},
    PublishedDefault{"ItemIndex", DefaultKind::Integer, "-1", "TListBox TComboBox TCheckListBox"},
    PublishedDefault{"Position", DefaultKind::Integer, "0", "TTrackBar TProgressBar TUpDown"},
    PublishedDefault{"Min", DefaultKind::Integer, "0", "TTrackBar TProgressBar TUpDown"},
    PublishedDefault{"Max", DefaultKind::Integer, "10", "TTrackBar"},
    PublishedDefault{"Max", DefaultKind::Integer, "100", "TProgressBar TUpDown"},
    PublishedDefault{"Progress", DefaultKind::Integer, "0", "TGauge"},
    PublishedDefault{"MinValue", DefaultKind::Integer, "0", "TGauge"},
    PublishedDefault{"MaxValue", DefaultKind::Integer, "100", "TGauge"},
    PublishedDefault{"Default", DefaultKind::Boolean, "False", "TButton TBitBtn"},
    PublishedDefault{"Cancel", DefaultKind::Boolean, "False", "TButton TBitBtn"},
    PublishedDefault{"Down", DefaultKind::Boolean, "False", "TSpeedButton"},
    PublishedDefault{"WordWrap", DefaultKind::Boolean, "False", "TLabel TMemo"},
    PublishedDefault{"Font.Style", DefaultKind::EmptySet, "",
                     "TLabel TEdit TMemo TButton TRzCheckBox TRzRadioButton TListBox TComboBox TGroupBox "
                     "TPanel TBitBtn TSpeedButton TMaskEdit TStaticText TRichEdit TCheckListBox TTreeView"},
};

bool ListsClass(std::string_view classes, std::string_view className) {
    if (classes == "*") {
        return IsRegisteredClass(className);
    }
    while (!classes.empty()) {
        const std::size_t blank = classes.find(' ');
        if (SameName(classes.substr(0, blank), className)) {
            return true;
        }
        classes = blank == std::string_view::npos ? std::string_view{} : classes.substr(blank + 1);
    }
    return false;
}

PropertyValue MakeDefault(const PublishedDefault& entry) {
    PropertyValue value;
    switch (entry.kind) {
        case DefaultKind::Boolean:
            value.type = entry.text == "True" ? ValueType::True : ValueType::False;
            break;
        case DefaultKind::Integer: {
            value.type = ValueType::Int8;
            const bool negative = entry.text.front() == '-';
            for (char c : entry.text.substr(negative ? 1 : 0)) {
                value.integer = value.integer * 10 + (c - '0');
            }
            if (negative) {
                value.integer = -value.integer;
            }
            break;
        }
        case DefaultKind::Identifier:
            value.type = ValueType::Ident;
            value.text = entry.text;
            break;
        case DefaultKind::Text:
            value.type = ValueType::String;
            break;
        case DefaultKind::EmptySet:
            value.type = ValueType::Set;
            break;
    }
    return value;
}

}  // namespace

std::optional<PropertyValue> PublishedPropertyDefault(std::string_view className, std::string_view property) {
    for (const PublishedDefault& entry : kDefaults) {
        if (SameName(entry.property, property) && ListsClass(entry.classes, className)) {
            return MakeDefault(entry);
        }
    }
    return std::nullopt;
}

}  // namespace kaviro::ui
