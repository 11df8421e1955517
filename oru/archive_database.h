#pragma once
// The decoded header of a 7z archive: packed streams, folders (coder graphs)
// and the entries that map onto the folders' unpacked substreams.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kaviro::oru {

struct Coder {
    std::vector<uint8_t> methodId;
    uint32_t inputCount = 1;   // packed side
    uint32_t outputCount = 1;  // unpacked side
    std::vector<uint8_t> properties;
};

// An input of one coder fed by an output of another.
struct BindPair {
    uint32_t input;   // global input index within the folder
    uint32_t output;  // global output index within the folder
};

struct Folder {
    std::vector<Coder> coders;
    std::vector<BindPair> bindPairs;
    std::vector<uint32_t> packedInputs;  // global input index of each packed stream, in order
    std::vector<uint64_t> outputSizes;   // one per global output
    std::optional<uint32_t> crc;
    uint32_t firstPackStream = 0;  // index into Database::packStreams

    uint32_t mainOutput = 0;  // the output not bound to any input
    [[nodiscard]] uint64_t UnpackSize() const { return outputSizes[mainOutput]; }
};

struct PackStream {
    uint64_t offset = 0;  // from the start of the archive file
    uint64_t size = 0;
};

struct Substream {
    uint64_t size = 0;
    std::optional<uint32_t> crc;
};

struct StreamsInfo {
    std::vector<PackStream> packStreams;
    std::vector<Folder> folders;
    // Per folder: its substreams in order.
    std::vector<std::vector<Substream>> substreams;
};

struct Entry {
    std::u16string name;  // as stored, either slash
    bool hasStream = false;
    bool isDirectory = false;
    bool isAnti = false;
    uint64_t size = 0;
    std::optional<uint32_t> crc;
    std::optional<uint32_t> attributes;
    std::optional<uint64_t> modified;  // Windows FILETIME ticks
    // For entries with a stream.
    uint32_t folder = 0;
    uint32_t substream = 0;
};

struct Database {
    StreamsInfo streams;
    std::vector<Entry> entries;
};

}  // namespace kaviro::oru
