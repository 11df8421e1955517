#include "oru/database_reader.h"

#include <algorithm>

namespace kaviro::oru {
namespace {

[[noreturn]] void ThrowBadHeader(const char* what) { throw ArchiveError(ArchiveErrorCode::CannotOpen, what); }

void Expect(HeaderCursor& cursor, uint8_t id) {
    if (cursor.ReadNumber() != id) {
        ThrowBadHeader("unexpected record in the archive header");
    }
}

void SkipRecord(HeaderCursor& cursor) { cursor.Skip(cursor.ReadNumber()); }

std::vector<bool> ReadBits(HeaderCursor& cursor, size_t count) {
    cursor.CheckedCount((count + 7) / 8);
    std::vector<bool> bits(count);
    uint8_t byte = 0;
    for (size_t i = 0; i < count; ++i) {
        if (i % 8 == 0) {
            byte = cursor.ReadByte();
        }
        bits[i] = (byte & (0x80u >> (i % 8))) != 0;
    }
    return bits;
}

std::vector<bool> ReadOptionalBits(HeaderCursor& cursor, size_t count) {
    if (cursor.ReadByte() != 0) {
        return std::vector<bool>(count, true);
    }
    return ReadBits(cursor, count);
}

std::vector<std::optional<uint32_t>> ReadDigests(HeaderCursor& cursor, size_t count) {
    const std::vector<bool> defined = ReadOptionalBits(cursor, count);
    std::vector<std::optional<uint32_t>> digests(count);
    for (size_t i = 0; i < count; ++i) {
        if (defined[i]) {
            digests[i] = cursor.ReadUInt32();
        }
    }
    return digests;
}

void ReadPackInfo(HeaderCursor& cursor, uint64_t archiveSize, StreamsInfo& info) {
    constexpr uint64_t kSignatureHeaderSize = 32;
    const uint64_t packPosition = cursor.ReadNumber();
    const size_t count = cursor.ReadCount();
    info.packStreams.resize(count);
    bool haveSizes = false;
    for (;;) {
        const uint64_t id = cursor.ReadNumber();
        if (id == property::kEnd) {
            break;
        }
        if (id == property::kSize) {
            for (PackStream& stream : info.packStreams) {
                stream.size = cursor.ReadNumber();
            }
            haveSizes = true;
        } else if (id == property::kCrc) {
            (void)ReadDigests(cursor, count);  // packed-stream digests are optional and not needed
        } else {
            SkipRecord(cursor);
        }
    }
    if (!haveSizes && count != 0) {
        ThrowBadHeader("packed streams without sizes");
    }
    if (packPosition > archiveSize) {
        ThrowBadHeader("packed streams lie outside the archive");
    }
    uint64_t offset = kSignatureHeaderSize + packPosition;
    for (PackStream& stream : info.packStreams) {
        if (offset > archiveSize || stream.size > archiveSize - offset) {
            ThrowBadHeader("packed streams lie outside the archive");
        }
        stream.offset = offset;
        offset += stream.size;
    }
}

Folder ReadFolder(HeaderCursor& cursor) {
    Folder folder;
    const size_t coderCount = cursor.ReadCount(2);
    if (coderCount == 0 || coderCount > kMaxCodersPerFolder) {
        ThrowBadHeader("folder with an unsupported number of coders");
    }
    uint64_t inputs = 0;
    uint64_t outputs = 0;
    for (size_t i = 0; i < coderCount; ++i) {
        Coder coder;
        const uint8_t flags = cursor.ReadByte();
        if ((flags & 0xC0) != 0) {
            ThrowBadHeader("coder record with reserved flags");
        }
        coder.methodId = cursor.ReadBytes(flags & 0x0F);
        if ((flags & 0x10) != 0) {
            const uint64_t in = cursor.ReadNumber();
            const uint64_t out = cursor.ReadNumber();
            if (in == 0 || out == 0 || in > kMaxStreamsPerFolder || out > kMaxStreamsPerFolder) {
                ThrowBadHeader("coder with an unsupported number of streams");
            }
            coder.inputCount = static_cast<uint32_t>(in);
            coder.outputCount = static_cast<uint32_t>(out);
        }
        if ((flags & 0x20) != 0) {
            coder.properties = cursor.ReadBytes(cursor.CheckedCount(cursor.ReadNumber()));
        }
        inputs += coder.inputCount;
        outputs += coder.outputCount;
        folder.coders.push_back(std::move(coder));
    }
    if (inputs > kMaxStreamsPerFolder || outputs > kMaxStreamsPerFolder || inputs < outputs - 1) {
        ThrowBadHeader("folder with an unsupported number of streams");
    }
    std::vector<bool> inputBound(inputs, false);
    std::vector<bool> outputBound(outputs, false);
    for (uint64_t i = 0; i + 1 < outputs; ++i) {
        const uint64_t input = cursor.ReadNumber();
        const uint64_t output = cursor.ReadNumber();
        if (input >= inputs || output >= outputs || inputBound[input] || outputBound[output]) {
            ThrowBadHeader("folder with invalid stream bindings");
        }
        inputBound[input] = true;
        outputBound[output] = true;
        folder.bindPairs.push_back({static_cast<uint32_t>(input), static_cast<uint32_t>(output)});
    }
    const uint64_t packedCount = inputs - (outputs - 1);
    if (packedCount == 1) {
        const auto unbound = std::find(inputBound.begin(), inputBound.end(), false);
        folder.packedInputs.push_back(static_cast<uint32_t>(unbound - inputBound.begin()));
    } else {
        for (uint64_t i = 0; i < packedCount; ++i) {
            const uint64_t input = cursor.ReadNumber();
            if (input >= inputs || inputBound[input]) {
                ThrowBadHeader("folder with invalid packed streams");
            }
            inputBound[input] = true;
            folder.packedInputs.push_back(static_cast<uint32_t>(input));
        }
    }
    folder.mainOutput =
        static_cast<uint32_t>(std::find(outputBound.begin(), outputBound.end(), false) - outputBound.begin());
    folder.outputSizes.resize(outputs);
    return folder;
}

void ReadUnpackInfo(HeaderCursor& cursor, StreamsInfo& info) {
    Expect(cursor, property::kFolder);
    const size_t folderCount = cursor.ReadCount(2);
    if (cursor.ReadByte() != 0) {
        ThrowBadHeader("folders stored outside the header are not supported");
    }
    uint32_t packStream = 0;
    for (size_t i = 0; i < folderCount; ++i) {
        Folder folder = ReadFolder(cursor);
        folder.firstPackStream = packStream;
        packStream += static_cast<uint32_t>(folder.packedInputs.size());
        if (packStream > info.packStreams.size()) {
            ThrowBadHeader("folders use more packed streams than the archive has");
        }
        info.folders.push_back(std::move(folder));
    }
    Expect(cursor, property::kCodersUnpackSize);
    for (Folder& folder : info.folders) {
        for (uint64_t& size : folder.outputSizes) {
            size = cursor.ReadNumber();
        }
    }
    for (;;) {
        const uint64_t id = cursor.ReadNumber();
        if (id == property::kEnd) {
            break;
        }
        if (id == property::kCrc) {
            const auto digests = ReadDigests(cursor, info.folders.size());
            for (size_t i = 0; i < digests.size(); ++i) {
                info.folders[i].crc = digests[i];
            }
        } else {
            SkipRecord(cursor);
        }
    }
}

void ReadSubStreamsInfo(HeaderCursor& cursor, StreamsInfo& info) {
    const size_t folderCount = info.folders.size();
    std::vector<size_t> counts(folderCount, 1);
    uint64_t id = cursor.ReadNumber();
    if (id == property::kNumUnpackStream) {
        size_t extra = 0;
        for (size_t& count : counts) {
            count = cursor.CheckedCount(cursor.ReadNumber());
            // Every substream but a folder's last needs a size record.
            extra += count > 0 ? count - 1 : 0;
            cursor.CheckedCount(extra);
        }
        id = cursor.ReadNumber();
    }
    info.substreams.assign(folderCount, {});
    const bool haveSizes = id == property::kSize;
    for (size_t f = 0; f < folderCount; ++f) {
        if (counts[f] == 0) {
            continue;
        }
        if (counts[f] > 1 && !haveSizes) {
            ThrowBadHeader("substreams without sizes");
        }
        const uint64_t total = info.folders[f].UnpackSize();
        uint64_t sum = 0;
        std::vector<Substream>& streams = info.substreams[f];
        streams.resize(counts[f]);
        for (size_t s = 0; s + 1 < counts[f]; ++s) {
            streams[s].size = cursor.ReadNumber();
            if (streams[s].size > total - sum) {
                ThrowBadHeader("substream sizes exceed their folder");
            }
            sum += streams[s].size;
        }
        streams.back().size = total - sum;
    }
    if (haveSizes) {
        id = cursor.ReadNumber();
    }
    // Digests are listed for the substreams whose CRC the folder does not give.
    size_t unknown = 0;
    for (size_t f = 0; f < folderCount; ++f) {
        if (counts[f] == 1 && info.folders[f].crc) {
            info.substreams[f][0].crc = info.folders[f].crc;
        } else {
            unknown += counts[f];
        }
    }
    for (;;) {
        if (id == property::kEnd) {
            break;
        }
        if (id == property::kCrc) {
            const auto digests = ReadDigests(cursor, unknown);
            size_t next = 0;
            for (size_t f = 0; f < folderCount; ++f) {
                if (counts[f] == 1 && info.folders[f].crc) {
                    continue;
                }
                for (Substream& stream : info.substreams[f]) {
                    stream.crc = digests[next++];
                }
            }
        } else {
            SkipRecord(cursor);
        }
        id = cursor.ReadNumber();
    }
}

// Reads a property's defined-flags and the external marker (data stored
// elsewhere is not supported).
std::vector<bool> ReadDefinedVector(HeaderCursor& cursor, size_t count) {
    std::vector<bool> defined = ReadOptionalBits(cursor, count);
    if (cursor.ReadByte() != 0) {
        ThrowBadHeader("file properties stored outside the header are not supported");
    }
    return defined;
}

void ReadNames(HeaderCursor& cursor, std::vector<Entry>& entries) {
    if (cursor.ReadByte() != 0) {
        ThrowBadHeader("file names stored outside the header are not supported");
    }
    if (cursor.Remaining() % 2 != 0) {
        ThrowBadHeader("file names of odd length");
    }
    size_t entry = 0;
    std::u16string name;
    while (!cursor.AtEnd()) {
        const uint8_t* unit = cursor.Take(2);
        const char16_t value = static_cast<char16_t>(unit[0] | unit[1] << 8);
        if (value != 0) {
            name.push_back(value);
            continue;
        }
        if (entry == entries.size()) {
            ThrowBadHeader("more file names than files");
        }
        entries[entry++].name = std::move(name);
        name.clear();
    }
    if (entry != entries.size() || !name.empty()) {
        ThrowBadHeader("file names do not match the files");
    }
}

void ReadFilesInfo(HeaderCursor& cursor, Database& database) {
    size_t totalSubstreams = 0;
    for (const auto& streams : database.streams.substreams) {
        totalSubstreams += streams.size();
    }
    // A file either has a stream or takes a bit of the empty-stream vector.
    const uint64_t fileCount = cursor.ReadNumber();
    if (fileCount > totalSubstreams + uint64_t{8} * cursor.Remaining()) {
        ThrowBadHeader("more files than the header can describe");
    }
    std::vector<Entry>& entries = database.entries;
    entries.resize(static_cast<size_t>(fileCount));
    std::vector<bool> emptyStream(entries.size(), false);
    std::vector<bool> emptyFile;
    std::vector<bool> anti;
    size_t emptyCount = 0;
    for (;;) {
        const uint64_t id = cursor.ReadNumber();
        if (id == property::kEnd) {
            break;
        }
        HeaderCursor record = cursor.Sub(cursor.ReadNumber());
        switch (id) {
            case property::kEmptyStream:
                emptyStream = ReadBits(record, entries.size());
                emptyCount = static_cast<size_t>(std::count(emptyStream.begin(), emptyStream.end(), true));
                break;
            case property::kEmptyFile:
                emptyFile = ReadBits(record, emptyCount);
                break;
            case property::kAnti:
                anti = ReadBits(record, emptyCount);
                break;
            case property::kName:
                ReadNames(record, entries);
                break;
            case property::kModifiedTime: {
                const std::vector<bool> defined = ReadDefinedVector(record, entries.size());
                for (size_t i = 0; i < entries.size(); ++i) {
                    if (defined[i]) {
                        entries[i].modified = record.ReadUInt64();
                    }
                }
                break;
            }
            case property::kAttributes: {
                const std::vector<bool> defined = ReadDefinedVector(record, entries.size());
                for (size_t i = 0; i < entries.size(); ++i) {
                    if (defined[i]) {
                        entries[i].attributes = record.ReadUInt32();
                    }
                }
                break;
            }
            default:
                break;  // other times, dummy padding and unknown records are skipped by their size
        }
    }
    emptyFile.resize(emptyCount, false);
    anti.resize(emptyCount, false);

    const StreamsInfo& streams = database.streams;
    size_t folder = 0;
    size_t substream = 0;
    size_t empty = 0;
    for (size_t i = 0; i < entries.size(); ++i) {
        Entry& entry = entries[i];
        if (emptyStream[i]) {
            entry.isDirectory = !emptyFile[empty];
            entry.isAnti = anti[empty];
            ++empty;
            continue;
        }
        while (substream == 0 && folder < streams.substreams.size() && streams.substreams[folder].empty()) {
            ++folder;
        }
        if (folder >= streams.substreams.size()) {
            ThrowBadHeader("more files with data than streams");
        }
        const Substream& stream = streams.substreams[folder][substream];
        entry.hasStream = true;
        entry.size = stream.size;
        entry.crc = stream.crc;
        entry.folder = static_cast<uint32_t>(folder);
        entry.substream = static_cast<uint32_t>(substream);
        if (++substream == streams.substreams[folder].size()) {
            ++folder;
            substream = 0;
        }
    }
}

}  // namespace

StreamsInfo ReadStreamsInfo(HeaderCursor& cursor, uint64_t archiveSize) {
    StreamsInfo info;
    uint64_t id = cursor.ReadNumber();
    if (id == property::kPackInfo) {
        ReadPackInfo(cursor, archiveSize, info);
        id = cursor.ReadNumber();
    }
    if (id == property::kUnpackInfo) {
        ReadUnpackInfo(cursor, info);
        id = cursor.ReadNumber();
    }
    if (id == property::kSubStreamsInfo) {
        ReadSubStreamsInfo(cursor, info);
        id = cursor.ReadNumber();
    } else {
        info.substreams.resize(info.folders.size());
        for (size_t f = 0; f < info.folders.size(); ++f) {
            info.substreams[f].push_back({info.folders[f].UnpackSize(), info.folders[f].crc});
        }
    }
    if (id != property::kEnd) {
        ThrowBadHeader("unexpected record in the streams description");
    }
    return info;
}

Database ReadHeader(HeaderCursor& cursor, uint64_t archiveSize) {
    Database database;
    uint64_t id = cursor.ReadNumber();
    if (id == property::kArchiveProperties) {
        while (cursor.ReadNumber() != property::kEnd) {
            SkipRecord(cursor);
        }
        id = cursor.ReadNumber();
    }
    if (id == property::kAdditionalStreamsInfo) {
        (void)ReadStreamsInfo(cursor, archiveSize);  // only referenced by external records, which are refused
        id = cursor.ReadNumber();
    }
    if (id == property::kMainStreamsInfo) {
        database.streams = ReadStreamsInfo(cursor, archiveSize);
        id = cursor.ReadNumber();
    }
    if (id == property::kFilesInfo) {
        ReadFilesInfo(cursor, database);
        id = cursor.ReadNumber();
    }
    if (id != property::kEnd) {
        ThrowBadHeader("unexpected record in the archive header");
    }
    return database;
}

}  // namespace kaviro::oru
