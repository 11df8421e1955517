#include "installer/setup_data_file.h"

#include <array>
#include <cstdio>

#include "engine/engine_error.h"
#include "engine/text_util.h"
#include "installer/text_file.h"

namespace kaviro::installer {
namespace {

constexpr std::size_t kSectionCount = 6;
constexpr std::size_t kLinesAfterSections = 4;

// One file line of a value: CRLF becomes "$NEWLINE$". A lone CR or LF would
// otherwise split the value over two lines and shift every later pair, so it
// is written the same way.
std::string OneLine(std::string_view value) {
    std::string line;
    line.reserve(value.size());
    for (std::size_t i = 0; i < value.size(); ++i) {
        const char c = value[i];
        if (c == '\r' || c == '\n') {
            line += "$NEWLINE$";
            if (c == '\r' && i + 1 < value.size() && value[i + 1] == '\n')
                ++i;
        } else {
            line.push_back(c);
        }
    }
    return line;
}

class LineWriter {
  public:
    void Line(std::string_view text) {
        bytes_ += OneLine(text);
        bytes_ += "\r\n";
    }
    void List(const TextList& list) {
        for (const std::string& entry : list) Line(entry);
        Line(kListEnd);
    }
    const std::string& Bytes() const { return bytes_; }

  private:
    std::string bytes_;
};

void WriteVariables(LineWriter& writer, const SetupDataContext& context) {
    for (const std::string& name : context.model.SavedVariables()) {
        writer.Line(name);
        writer.Line(context.variables.Get(name));
    }
    writer.Line(kSixtyFourBitMarker);
    writer.Line(context.sixtyFourBitMode);
    writer.Line(kOverrideCacheVariable);
    writer.Line(context.variables.Get(kOverrideCacheVariable));
}

void WriteFull(const SetupDataContext& context, const std::string& path, bool fromScript) {
    const ComponentLists& lists = context.model.Lists();
    LineWriter writer;
    for (const TextList* list :
         {&lists.components, &lists.states, &lists.deleted, &lists.hidden, &lists.locked, &lists.sizeTable}) {
        writer.List(*list);
    }
    writer.Line(context.variables.Get("TARGETDIR"));
    writer.Line(context.variables.Get("ALLUSERS"));
    writer.Line(context.variables.Get("STARTMENU"));
    writer.Line(fromScript ? std::string() : context.dataFolderShortPath);
    WriteVariables(writer, context);
    WriteFileBytes(path, writer.Bytes());
}

void WriteUpdate(const SetupDataContext& context, const std::string& path) {
    const std::optional<std::string> old = ReadFileBytes(path);
    if (!old)
        return;
    const TextList lines = SplitLines(*old);
    LineWriter writer;
    std::size_t position = 0;
    std::size_t sectionsClosed = 0;
    while (sectionsClosed < kSectionCount && position < lines.size()) {
        const std::string& line = lines[position++];
        writer.Line(line);
        if (line == kListEnd)
            ++sectionsClosed;
    }
    // A file cut short is completed, so that the result reads back with its
    // sections and variables in place.
    for (; sectionsClosed < kSectionCount; ++sectionsClosed) writer.Line(kListEnd);
    for (std::size_t i = 0; i < kLinesAfterSections; ++i, ++position) {
        writer.Line(position < lines.size() ? lines[position] : std::string());
    }
    WriteVariables(writer, context);

    const std::string replacement = path + ".dat";
    try {
        WriteFileBytes(replacement, writer.Bytes());
        DeleteFileOrThrow(path);
    } catch (const EngineError&) {
        // The old file stays as it was; the half-made replacement goes. A
        // failure to remove it changes nothing for the caller, who gets the
        // original error.
        std::remove(replacement.c_str());
        throw;
    }
    RenameFileOrThrow(replacement, path);
}

// Reads lines up to the next "$"; false when the input ended first.
bool ReadSection(const TextList& lines, std::size_t& position, TextList& section) {
    while (position < lines.size()) {
        const std::string& line = lines[position++];
        if (line == kListEnd)
            return true;
        section.push_back(line);
    }
    return false;
}

}  // namespace

void SaveSetupData(const SetupDataContext& context, const std::string& path, bool fromScript,
                   bool fullWrite) {
    if (fullWrite) {
        WriteFull(context, path, fromScript);
    } else {
        WriteUpdate(context, path);
    }
}

void LoadSetupData(const SetupDataContext& context, const std::string& path, bool merge, bool ignoreSizes) {
    const std::optional<std::string> bytes = ReadFileBytes(path);
    if (!bytes)
        return;
    const TextList lines = SplitLines(*bytes);
    std::size_t position = 0;

    // 1. The six sections.
    std::array<TextList, kSectionCount> sections;
    std::array<bool, kSectionCount> closed{};
    for (std::size_t s = 0; s < kSectionCount; ++s) closed[s] = ReadSection(lines, position, sections[s]);
    ComponentLists& lists = context.model.MutableLists();
    enum { kComponents, kStates, kDeleted, kHidden, kLocked, kSizes };
    if (!merge) {
        std::array<TextList*, kSectionCount> targets = {&lists.components, &lists.states, &lists.deleted,
                                                        &lists.hidden,     &lists.locked, &lists.sizeTable};
        for (std::size_t s = 0; s < kSectionCount; ++s) {
            if (s == kSizes && ignoreSizes)
                continue;
            targets[s]->insert(targets[s]->end(), sections[s].begin(), sections[s].end());
        }
    }

    // 2. and 3. Target folder, all-users flag, start menu folder; line 10 is
    // not used. A file that ends early leaves the variables as they were.
    for (const char* name : {"TARGETDIR", "ALLUSERS", "STARTMENU"}) {
        if (position >= lines.size())
            break;
        context.variables.Assign(name, lines[position++], kLoadOrigin);
    }
    if (position < lines.size())
        ++position;

    // 4. Name and value pairs; the pair after the 64-bit mode is the cache
    // override, set without being saved again under its name.
    bool overridePairNext = false;
    for (; position + 1 < lines.size(); position += 2) {
        const std::string& name = lines[position];
        const std::string& value = lines[position + 1];
        if (overridePairNext) {
            overridePairNext = false;
            if (!name.empty())
                context.variables.Assign(name, value, kLoadOrigin);
        } else if (name == kSixtyFourBitMarker) {
            context.sixtyFourBitMode = value;
            overridePairNext = true;
        } else if (!name.empty()) {
            // A blank name line (a damaged file) names no variable.
            context.model.AddSavedVariable(name);
            context.variables.Assign(name, value, kLoadOrigin);
        }
    }

    // 5. Merging: states of the components the model defines, and the flag
    // sets of the file (those the file holds in full).
    if (merge) {
        const TextList& loadedNames = sections[kComponents];
        const TextList& loadedStates = sections[kStates];
        for (std::size_t j = 0; j < loadedNames.size() && j < loadedStates.size(); ++j) {
            for (std::size_t i = 0; i < lists.components.size(); ++i) {
                if (!EqualsIgnoreCase(lists.components[i], loadedNames[j]))
                    continue;
                if (lists.states.size() <= i)
                    lists.states.resize(i + 1);
                lists.states[i] = loadedStates[j];
            }
        }
        if (closed[kDeleted])
            lists.deleted = sections[kDeleted];
        if (closed[kHidden])
            lists.hidden = sections[kHidden];
        if (closed[kLocked])
            lists.locked = sections[kLocked];
    }
}

}  // namespace kaviro::installer
