#include "ui/dialog_preload.h"

#include <fstream>
#include <memory>
#include <vector>

#include "ui/comma_text.h"
#include "ui/form_stream_reader.h"
#include "ui/text_compare.h"

namespace kaviro::ui {

namespace {

// Dialog files are small; anything larger is refused before it is read.
constexpr std::uintmax_t kMaxDialogFileSize = 64u * 1024 * 1024;

// The process-wide dialog table of the dialog host: keys in preload order,
// each with its dialog. Entries are held by pointer so that FindDialog's
// results stay valid while later dialogs are added.
struct DialogTable {
    std::string supportFolder;
    std::vector<std::unique_ptr<PreloadedDialog>> entries;
};

DialogTable& Table() {
    static DialogTable table;
    return table;
}

std::string ReadWholeFile(const std::string& path, const char* kind) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        throw DialogPreloadError(std::string("Cannot open ") + kind + " " + path);
    }
    file.seekg(0, std::ios::end);
    const std::streamoff size = file.tellg();
    if (size < 0 || static_cast<std::uintmax_t>(size) > kMaxDialogFileSize) {
        throw DialogPreloadError(std::string("Cannot read ") + kind + " " + path +
                                 ": file too large or unreadable");
    }
    file.seekg(0, std::ios::beg);
    std::string content(static_cast<std::size_t>(size), '\0');
    if (!file.read(content.data(), size)) {
        throw DialogPreloadError(std::string("Cannot read ") + kind + " " + path);
    }
    return content;
}

std::string FileNameOf(std::string_view path) {
    const std::size_t separator = path.find_last_of("\\/");
    return std::string(separator == std::string_view::npos ? path : path.substr(separator + 1));
}

PreloadedDialog* FindEntry(std::string_view upperKey) {
    for (const auto& entry : Table().entries) {
        if (entry->key == upperKey) {
            return entry.get();
        }
    }
    return nullptr;
}

}  // namespace

std::string DialogFilePath(std::string_view supportFolder, std::string_view dialogName) {
    std::string path(supportFolder);
    if (!path.empty() && path.back() != '\\' && path.back() != '/') {
        path += '\\';
    }
    return path + std::string(dialogName) + ".dfm";
}

std::string RulesFilePath(std::string_view dialogFilePath) {
    return std::string(dialogFilePath) + ".oruf";
}

void InitDialogHost(std::string_view supportFolder, const CancelFlagReset& resetCancelFlag) {
    DialogTable& table = Table();
    table.supportFolder = supportFolder;
    table.entries.clear();
    if (resetCancelFlag) {
        resetCancelFlag();
    }
}

const std::string& DialogSupportFolder() {
    return Table().supportFolder;
}

void PreloadDialog(std::string_view key, std::string_view dialogFilePath) {
    const std::string path(dialogFilePath);
    auto dialog = std::make_unique<PreloadedDialog>();
    dialog->key = UpperCaseAscii(key);
    dialog->filePath = path;
    dialog->identity = FileNameOf(path);
    const std::string content = ReadWholeFile(path, "dialog file");
    try {
        dialog->dialog =
            ReadDialogFile(std::span(reinterpret_cast<const std::uint8_t*>(content.data()), content.size()));
    } catch (const DialogFileError& error) {
        throw DialogPreloadError("Cannot read dialog file " + path + ": " + error.what());
    }
    dialog->rules = JoinCommaText(SplitTextLines(ReadWholeFile(RulesFilePath(path), "rules file")));

    if (PreloadedDialog* existing = FindEntry(dialog->key)) {
        *existing = std::move(*dialog);
    } else {
        Table().entries.push_back(std::move(dialog));
    }
}

const PreloadedDialog* FindDialog(std::string_view key) {
    return FindEntry(UpperCaseAscii(key));
}

std::size_t PreloadedDialogCount() {
    return Table().entries.size();
}

void ResetDialogTable() {
    Table().supportFolder.clear();
    Table().entries.clear();
}

}  // namespace kaviro::ui
