#include "script/header_commands.h"

#include <vector>

#include "engine/package_lookup.h"
#include "script/run_context.h"

namespace kaviro::script {

void PropertyQueue::Queue(std::string_view name, std::string_view value) {
    names_.push_back(PropertyText(name));
    values_.push_back(PropertyText(value));
}

void PropertyQueue::Clear() {
    names_.clear();
    values_.clear();
}

PropertyQueue& InstallerPropertyQueue() {
    static PropertyQueue queue;
    return queue;
}

std::string PropertyText(std::string_view value) {
    std::string text;
    text.reserve(value.size());
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] == '\r' && i + 1 < value.size() && value[i + 1] == '\n') {
            text += "$NEWLINE$";
            ++i;
        } else {
            text += value[i];
        }
    }
    return text;
}

void HandOverProperty(RunContext& context, std::string_view name, std::string_view value) {
    InstallerPropertyQueue().Queue(name, value);
    context.propertyList.push_back(PropertyText(name));
    context.propertyList.push_back(PropertyText(value));
}

std::string BeginHeaderCommand(RunContext& context, std::size_t statementIndex) {
    std::string header = GetCommandHeader(context.script(), statementIndex, HeaderLookup::Strict);
    if (statementIndex < context.executionList.size()) context.executionList[statementIndex] = "TRUE";
    HandOverProperty(context, "A" + header, "TRUE");
    return header;
}

void RunHeaderSweep(RunContext& context) {
    // One pass over the header list (alternating header, statement index)
    // instead of a lookup per statement; the first entry for an index wins,
    // as in the lenient lookup.
    context.headerSweep = true;
    const std::size_t count = context.StatementCount();
    std::vector<const std::string*> headerOf(count, nullptr);
    const TextList& headers = context.script().commandHeaders;
    for (std::size_t i = 1; i < headers.size(); i += 2) {
        std::size_t index = 0;
        const std::string& text = headers[i];
        bool numeric = !text.empty() && text.size() < 12;
        for (char c : text) {
            if (c < '0' || c > '9') numeric = false;
            else index = index * 10 + static_cast<std::size_t>(c - '0');
        }
        if (numeric && std::to_string(index) == text && index < count && !headerOf[index]) headerOf[index] = &headers[i - 1];
    }
    for (std::size_t i = 0; i < count; ++i) {
        if (headerOf[i] && !headerOf[i]->empty()) HandOverProperty(context, "A" + *headerOf[i], "FALSE");
    }
    context.headerSweep = false;
}

}  // namespace kaviro::script
