#pragma once
// A 7z archive opened for listing and extraction.

#include <cstdint>
#include <vector>

#include "oru/aes_source.h"
#include "oru/archive_database.h"
#include "oru/byte_io.h"
#include "oru/extraction_target.h"

namespace kaviro::oru {

enum class PathMode {
    FullPaths,  // entries' folders are recreated below the output folder
    NoPaths,    // every file lands directly in the output folder; folder entries are skipped
};

class Archive {
public:
    // Reads and checks the headers; throws ArchiveError (CannotOpen for
    // anything that is not a readable archive).
    Archive(RandomAccessInput& input, PasswordKeys::PasswordProvider passwordProvider);

    [[nodiscard]] const std::vector<Entry>& Entries() const { return database_.entries; }
    [[nodiscard]] const Database& Contents() const { return database_; }

    // Extracts the entries whose flag is set (selected.size() == Entries().size()).
    // Throws ArchiveError on the first failure; files already finished stay.
    void Extract(const std::vector<bool>& selected, PathMode mode, ExtractionTarget& target,
                 ExtractionObserver& observer);

private:
    void ReadHeaders();
    std::vector<uint8_t> DecodeHeaderStreams(const StreamsInfo& streams);

    RandomAccessInput& input_;
    PasswordKeys keys_;
    Database database_;
};

}  // namespace kaviro::oru
