#include "engine/package_format.h"

namespace kaviro {

const std::vector<PackageField>& PackageLayout() {
    static const std::vector<PackageField> layout = {
        {1, "statement names", &Script::statementNames},
        {2, "statement ids", &Script::statementIds},
        {3, "parameters", &Script::parameters},
        {4, "statement flags", &Script::statementFlags},
        {5, "product code", &Script::productCode},
        {5, "product title", &Script::title},
        {5, "plug-in command names", &Script::pluginCommandNames},
        {6, "company", &Script::company},
        {6, "contact", &Script::contact},
        {6, "help link", &Script::helpLink},
        {6, "update link", &Script::updateLink},
        {6, "comments", &Script::comments},
        {6, "product version", &Script::version},
        {6, "media passwords", &Script::mediaPasswords},
        {7, "statement media folders", &Script::statementMediaFolders},
        {8, "media layout code", &Script::mediaLayoutCode},
        {8, "components", &Script::componentSection},
        {9, "revision code", &Script::revisionCode},
        {9, "payload files", &Script::payloadFiles},
        {10, "language prompt", &Script::languagePrompt},
        {10, "default language", &Script::defaultLanguage},
        {10, "command headers", &Script::commandHeaders},
        {11, "build settings", &Script::buildSettings},
        {12, "code page", &Script::codePage},
        {12, "source map", &Script::sourceMap},
    };
    return layout;
}

void Script::RebuildParameterIndex() {
    parameterIndex.clear();
    parameterIndex.reserve(parameters.size());
    for (std::size_t i = 0; i < parameters.size(); ++i) parameterIndex.try_emplace(parameters[i], i);
}

}  // namespace kaviro
