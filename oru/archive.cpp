#include "oru/archive.h"

#include <algorithm>
#include <cstring>
#include <optional>

#include "oru/crc32.h"
#include "oru/database_reader.h"
#include "oru/entry_path.h"
#include "oru/folder_decoder.h"
#include "oru/header_cursor.h"

namespace kaviro::oru {
namespace {

constexpr uint8_t kSignature[6] = {'7', 'z', 0xBC, 0xAF, 0x27, 0x1C};
constexpr size_t kSignatureHeaderSize = 32;
// Headers are held in memory; anything larger is refused.
constexpr uint64_t kMaxHeaderSize = uint64_t{256} << 20;
constexpr size_t kCopyBlockSize = size_t{1} << 18;

[[noreturn]] void ThrowBadArchive(const char* what) { throw ArchiveError(ArchiveErrorCode::CannotOpen, what); }

uint64_t Little64(const uint8_t* data) {
    uint64_t value = 0;
    for (int i = 7; i >= 0; --i) {
        value = value << 8 | data[i];
    }
    return value;
}

uint32_t Little32(const uint8_t* data) {
    return static_cast<uint32_t>(data[0]) | static_cast<uint32_t>(data[1]) << 8 |
           static_cast<uint32_t>(data[2]) << 16 | static_cast<uint32_t>(data[3]) << 24;
}

void ReadExactAt(RandomAccessInput& input, uint64_t offset, uint8_t* buffer, size_t size) {
    size_t done = 0;
    while (done < size) {
        const size_t count = input.ReadAt(offset + done, buffer + done, size - done);
        if (count == 0) {
            ThrowBadArchive("archive ends early");
        }
        done += count;
    }
}

// Runs a decoding step; failures of an encrypted folder are reported as a
// wrong password, since that is what garbage after decryption almost always means.
template <typename Step>
void WithPasswordHint(bool encrypted, Step&& step) {
    try {
        step();
    } catch (const ArchiveError& error) {
        if (encrypted && (error.Code() == ArchiveErrorCode::DataError || error.Code() == ArchiveErrorCode::CrcMismatch)) {
            throw ArchiveError(ArchiveErrorCode::WrongPassword, std::string("wrong password: ") + error.what());
        }
        throw;
    }
}

}  // namespace

Archive::Archive(RandomAccessInput& input, PasswordKeys::PasswordProvider passwordProvider)
    : input_(input), keys_(std::move(passwordProvider)) {
    ReadHeaders();
}

std::vector<uint8_t> Archive::DecodeHeaderStreams(const StreamsInfo& streams) {
    std::vector<uint8_t> header;
    for (uint32_t f = 0; f < streams.folders.size(); ++f) {
        const Folder& folder = streams.folders[f];
        if (folder.UnpackSize() > kMaxHeaderSize - header.size()) {
            ThrowBadArchive("archive header too large");
        }
        WithPasswordHint(FolderIsEncrypted(folder), [&] {
            FolderDecoder decoder(input_, streams, f, keys_);
            const size_t start = header.size();
            uint64_t left = folder.UnpackSize();
            // Grow with the data actually decoded, not with the declared size.
            while (left != 0) {
                const size_t step = static_cast<size_t>(std::min<uint64_t>(left, kCopyBlockSize));
                const size_t at = header.size();
                header.resize(at + step);
                const size_t count = decoder.Output().Read(header.data() + at, step);
                header.resize(at + count);
                left -= count;
            }
            if (folder.crc && Crc32(header.data() + start, header.size() - start) != *folder.crc) {
                throw ArchiveError(ArchiveErrorCode::CrcMismatch, "archive header CRC mismatch");
            }
        });
    }
    return header;
}

void Archive::ReadHeaders() {
    const uint64_t fileSize = input_.Size();
    if (fileSize < kSignatureHeaderSize) {
        ThrowBadArchive("not an archive");
    }
    uint8_t start[kSignatureHeaderSize];
    ReadExactAt(input_, 0, start, sizeof(start));
    if (std::memcmp(start, kSignature, sizeof(kSignature)) != 0 || start[6] != 0) {
        ThrowBadArchive("not an archive");
    }
    if (Crc32(start + 12, 20) != Little32(start + 8)) {
        ThrowBadArchive("archive start header damaged");
    }
    const uint64_t nextOffset = Little64(start + 12);
    const uint64_t nextSize = Little64(start + 20);
    const uint32_t nextCrc = Little32(start + 28);
    if (nextSize == 0) {
        return;  // an archive without entries
    }
    const uint64_t room = fileSize - kSignatureHeaderSize;
    if (nextOffset > room || nextSize > room - nextOffset || nextSize > kMaxHeaderSize) {
        ThrowBadArchive("archive truncated or damaged");
    }
    std::vector<uint8_t> header(static_cast<size_t>(nextSize));
    ReadExactAt(input_, kSignatureHeaderSize + nextOffset, header.data(), header.size());
    if (Crc32(header.data(), header.size()) != nextCrc) {
        ThrowBadArchive("archive header CRC mismatch");
    }
    // A header may be stored encoded (compressed, encrypted) in packed streams.
    for (int level = 0; level < 4; ++level) {
        HeaderCursor cursor(header.data(), header.size());
        const uint64_t id = cursor.ReadNumber();
        if (id == property::kHeader) {
            database_ = ReadHeader(cursor, fileSize);
            return;
        }
        if (id != property::kEncodedHeader) {
            ThrowBadArchive("archive header of unknown kind");
        }
        const StreamsInfo streams = ReadStreamsInfo(cursor, fileSize);
        header = DecodeHeaderStreams(streams);
    }
    ThrowBadArchive("archive header nested too deeply");
}

void Archive::Extract(const std::vector<bool>& selected, PathMode mode, ExtractionTarget& target,
                      ExtractionObserver& observer) {
    const std::vector<Entry>& entries = database_.entries;
    if (selected.size() != entries.size()) {
        throw ArchiveError(ArchiveErrorCode::InvalidArgument, "selection does not match the entries");
    }
    // Every selected name is checked before anything is written.
    std::vector<std::u16string> paths(entries.size());
    uint64_t total = 0;
    for (size_t i = 0; i < entries.size(); ++i) {
        if (!selected[i] || entries[i].isAnti) {
            continue;
        }
        std::optional<std::u16string> path = SafeRelativePath(entries[i].name);
        if (!path) {
            throw ArchiveError(ArchiveErrorCode::UnsafeEntryPath, "entry name leads outside the output folder");
        }
        paths[i] = mode == PathMode::FullPaths ? std::move(*path) : std::u16string(FinalComponent(*path));
        total += entries[i].size;
    }

    uint64_t done = 0;
    const auto report = [&](const Entry& entry) {
        if (!observer.Progress(entry, done, total)) {
            throw ArchiveError(ArchiveErrorCode::Cancelled, "extraction cancelled");
        }
    };

    // Folders and empty files first, so files find their folders in place.
    for (size_t i = 0; i < entries.size(); ++i) {
        const Entry& entry = entries[i];
        if (!selected[i] || entry.isAnti || entry.hasStream) {
            continue;
        }
        report(entry);
        if (entry.isDirectory) {
            if (mode == PathMode::FullPaths) {
                target.CreateFolder(paths[i], entry);
            }
        } else if (std::unique_ptr<OutputFile> file = target.CreateOutputFile(paths[i], entry)) {
            file->Commit();
        }
    }

    // Then the data, folder by folder, in stream order.
    const StreamsInfo& streams = database_.streams;
    std::vector<std::vector<size_t>> entryOf(streams.folders.size());
    for (size_t f = 0; f < streams.folders.size(); ++f) {
        entryOf[f].assign(streams.substreams[f].size(), entries.size());
    }
    for (size_t i = 0; i < entries.size(); ++i) {
        if (entries[i].hasStream) {
            entryOf[entries[i].folder][entries[i].substream] = i;
        }
    }
    std::vector<uint8_t> block(kCopyBlockSize);
    for (uint32_t f = 0; f < streams.folders.size(); ++f) {
        const std::vector<size_t>& folderEntries = entryOf[f];
        size_t last = folderEntries.size();
        for (size_t s = 0; s < folderEntries.size(); ++s) {
            if (folderEntries[s] < entries.size() && selected[folderEntries[s]]) {
                last = s;
            }
        }
        if (last == folderEntries.size()) {
            continue;  // nothing wanted from this folder
        }
        const bool encrypted = FolderIsEncrypted(streams.folders[f]);
        WithPasswordHint(encrypted, [&] {
            FolderDecoder decoder(input_, streams, f, keys_);
            for (size_t s = 0; s <= last; ++s) {
                const size_t index = folderEntries[s];
                const bool wanted = index < entries.size() && selected[index];
                const Substream& stream = streams.substreams[f][s];
                std::unique_ptr<OutputFile> file;
                if (wanted) {
                    report(entries[index]);
                    file = target.CreateOutputFile(paths[index], entries[index]);
                }
                uint64_t left = stream.size;
                uint32_t crc = 0;
                while (left != 0) {
                    const size_t step = static_cast<size_t>(std::min<uint64_t>(left, block.size()));
                    const size_t count = decoder.Output().Read(block.data(), step);
                    if (count == 0) {
                        ThrowDataError("folder data shorter than its files");
                    }
                    left -= count;
                    if (wanted) {
                        crc = UpdateCrc32(crc, block.data(), count);
                        if (file) {
                            file->Write(block.data(), count);
                        }
                        done += count;
                        report(entries[index]);
                    }
                }
                if (wanted) {
                    if (stream.crc && crc != *stream.crc) {
                        throw ArchiveError(ArchiveErrorCode::CrcMismatch, "CRC mismatch in an extracted file");
                    }
                    if (file) {
                        file->Commit();
                    }
                }
            }
        });
    }

    // Folder times and attributes last, deepest folders first: nothing is
    // written into a folder after it got them.
    if (mode == PathMode::FullPaths) {
        std::vector<size_t> folders;
        for (size_t i = 0; i < entries.size(); ++i) {
            if (selected[i] && !entries[i].isAnti && entries[i].isDirectory) {
                folders.push_back(i);
            }
        }
        const auto depth = [&](size_t i) { return std::count(paths[i].begin(), paths[i].end(), u'/'); };
        std::stable_sort(folders.begin(), folders.end(), [&](size_t a, size_t b) { return depth(a) > depth(b); });
        for (const size_t i : folders) {
            target.FinishFolder(paths[i], entries[i]);
        }
    }
}

}  // namespace kaviro::oru
