#include "engine/window_caption.h"

namespace kaviro {

std::string ApplyWindowCaptionRule(std::string_view title, bool logoFlag) {
    static constexpr std::string_view kProduct = "Kaviro";
    static constexpr std::string_view kWizard = " Wizard";
    if (logoFlag)
        return std::string(title);
    if (!title.empty())
        return std::string(title) + " - " + std::string(kProduct) + std::string(kWizard);
    return std::string(kProduct) + std::string(kWizard);
}

}  // namespace kaviro
