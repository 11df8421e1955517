#include "tools/builder/staged_output.h"

#include "tools/builder/build_error.h"
#include "tools/builder/file_io.h"

namespace kaviro::builder {

StagedOutput::StagedOutput(std::filesystem::path folder) : folder_(std::move(folder)) {}

StagedOutput::~StagedOutput() {
    for (const Item& item : items_) {
        std::error_code ignored;  // best effort: a file that cannot be removed here cannot be removed at all
        std::filesystem::remove(item.temporary, ignored);
    }
}

std::string StagedOutput::TemporaryName(const std::string& finalName) {
    return ".~" + finalName + ".building";
}

std::filesystem::path StagedOutput::Reserve(const std::string& finalName) {
    for (const Item& item : items_) {
        if (item.final.filename() == finalName)
            return item.temporary;
    }
    items_.push_back({folder_ / TemporaryName(finalName), folder_ / finalName, false});
    return items_.back().temporary;
}

void StagedOutput::Write(const std::string& finalName, std::span<const uint8_t> bytes) {
    const std::filesystem::path temporary = Reserve(finalName);
    for (Item& item : items_) {
        if (item.temporary == temporary)
            item.written = true;
    }
    WriteFileBytes(temporary, bytes);
}

std::vector<std::filesystem::path> StagedOutput::Commit() {
    std::vector<std::filesystem::path> committed;
    for (const Item& item : items_) {
        std::error_code error;
        if (!item.written) {
            // A scratch file (such as the compiler's output) that is not part of the setup.
            std::filesystem::remove(item.temporary, error);
            continue;
        }
        std::filesystem::rename(item.temporary, item.final, error);
        if (error) {
            throw BuildError(PathText(item.final) + ": cannot put the file in place: " + error.message());
        }
        committed.push_back(item.final);
    }
    items_.clear();
    return committed;
}

}  // namespace kaviro::builder
