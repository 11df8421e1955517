#include "tools/builder/seven_zip_writer.h"

#include <algorithm>
#include <array>
#include <set>

#include "engine/text_util.h"
#include "tools/builder/build_error.h"

namespace kaviro::builder {
namespace {

// Property ids of the 7z header.
enum Property : uint8_t {
    kEnd = 0x00,
    kHeader = 0x01,
    kMainStreamsInfo = 0x04,
    kFilesInfo = 0x05,
    kPackInfo = 0x06,
    kUnpackInfo = 0x07,
    kSubStreamsInfo = 0x08,
    kSize = 0x09,
    kCrc = 0x0A,
    kFolder = 0x0B,
    kCodersUnpackSize = 0x0C,
    kEmptyStream = 0x0E,
    kEmptyFile = 0x0F,
    kName = 0x11,
    kModificationTime = 0x14,
    kWindowsAttributes = 0x15,
};

constexpr uint32_t kAttributeDirectory = 0x10;
constexpr uint32_t kAttributeArchive = 0x20;

const std::array<uint32_t, 256>& CrcTable() {
    static const std::array<uint32_t, 256> table = [] {
        std::array<uint32_t, 256> entries{};
        for (uint32_t i = 0; i < 256; ++i) {
            uint32_t value = i;
            for (int bit = 0; bit < 8; ++bit) value = (value >> 1) ^ ((value & 1) ? 0xEDB88320u : 0);
            entries[i] = value;
        }
        return entries;
    }();
    return table;
}

class ByteWriter {
  public:
    void Byte(uint8_t value) { bytes.push_back(value); }
    void UInt32(uint32_t value) {
        for (int i = 0; i < 4; ++i) Byte(static_cast<uint8_t>(value >> (8 * i)));
    }
    void UInt64(uint64_t value) {
        for (int i = 0; i < 8; ++i) Byte(static_cast<uint8_t>(value >> (8 * i)));
    }
    // The 7z variable-length number: the count of leading one bits of the
    // first byte says how many little-endian bytes follow; its remaining bits
    // hold the highest part of the value.
    void Number(uint64_t value) {
        for (int extra = 0; extra < 8; ++extra) {
            const int firstByteBits = 7 - extra;
            if (value < (uint64_t{1} << (8 * extra + firstByteBits))) {
                const uint8_t mask = static_cast<uint8_t>(0xFF00 >> extra);
                Byte(static_cast<uint8_t>(mask | (value >> (8 * extra))));
                for (int i = 0; i < extra; ++i) Byte(static_cast<uint8_t>(value >> (8 * i)));
                return;
            }
        }
        Byte(0xFF);
        UInt64(value);
    }
    void Bits(const std::vector<bool>& bits) {
        uint8_t current = 0;
        int used = 0;
        for (const bool bit : bits) {
            current = static_cast<uint8_t>(current | (bit ? 0x80 >> used : 0));
            if (++used == 8) {
                Byte(current);
                current = 0;
                used = 0;
            }
        }
        if (used != 0)
            Byte(current);
    }
    void Append(std::span<const uint8_t> data) { bytes.insert(bytes.end(), data.begin(), data.end()); }

    std::vector<uint8_t> bytes;
};

// UTF-8 to UTF-16LE code units; false for malformed input.
bool AppendUtf16(std::string_view text, std::vector<uint8_t>& out) {
    std::size_t i = 0;
    auto unit = [&](uint32_t value) {
        out.push_back(static_cast<uint8_t>(value));
        out.push_back(static_cast<uint8_t>(value >> 8));
    };
    while (i < text.size()) {
        const auto lead = static_cast<unsigned char>(text[i]);
        int length = 0;
        uint32_t code = 0;
        if (lead < 0x80) {
            length = 1;
            code = lead;
        } else if ((lead & 0xE0) == 0xC0) {
            length = 2;
            code = lead & 0x1F;
        } else if ((lead & 0xF0) == 0xE0) {
            length = 3;
            code = lead & 0x0F;
        } else if ((lead & 0xF8) == 0xF0) {
            length = 4;
            code = lead & 0x07;
        } else {
            return false;
        }
        if (i + length > text.size())
            return false;
        for (int k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0) != 0x80)
                return false;
            code = (code << 6) | (next & 0x3F);
        }
        static constexpr uint32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
        if (code < kSmallest[length] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
            return false;
        if (code >= 0x10000) {
            code -= 0x10000;
            unit(0xD800 + (code >> 10));
            unit(0xDC00 + (code & 0x3FF));
        } else {
            unit(code);
        }
        i += length;
    }
    return true;
}

void WriteProperty(ByteWriter& header, Property id, const ByteWriter& body) {
    header.Byte(id);
    header.Number(body.bytes.size());
    header.Append(body.bytes);
}

}  // namespace

uint32_t Crc32(std::span<const uint8_t> bytes) {
    const auto& table = CrcTable();
    uint32_t crc = 0xFFFFFFFFu;
    for (const uint8_t byte : bytes) crc = table[(crc ^ byte) & 0xFF] ^ (crc >> 8);
    return crc ^ 0xFFFFFFFFu;
}

std::vector<uint8_t> WriteSevenZipArchive(std::vector<ArchiveEntry> entries) {
    std::sort(entries.begin(), entries.end(),
              [](const ArchiveEntry& a, const ArchiveEntry& b) { return a.name < b.name; });
    std::set<std::string> seen;
    ByteWriter names;
    names.Byte(0);  // not external
    for (const auto& entry : entries) {
        if (entry.name.empty() || entry.name.front() == '/' || entry.name.back() == '/') {
            throw BuildError("archive entry name \"" + entry.name +
                             "\" is empty or starts or ends with \"/\"");
        }
        if (!seen.insert(LowerCase(entry.name)).second) {
            throw BuildError("two archive entries are named \"" + entry.name + "\" (case ignored)");
        }
        if (!AppendUtf16(entry.name, names.bytes)) {
            throw BuildError("archive entry name \"" + entry.name + "\" is not valid UTF-8");
        }
        names.Byte(0);
        names.Byte(0);
    }

    // Packed streams: the stored bytes of every non-empty file, in entry order.
    ByteWriter packed;
    std::vector<const ArchiveEntry*> streams;
    std::vector<bool> emptyStream;
    std::vector<bool> emptyFile;
    for (const auto& entry : entries) {
        const bool empty = entry.isFolder || entry.data.empty();
        emptyStream.push_back(empty);
        if (empty) {
            emptyFile.push_back(!entry.isFolder);
        } else {
            streams.push_back(&entry);
            packed.Append(entry.data);
        }
    }

    ByteWriter header;
    header.Byte(kHeader);
    if (!streams.empty()) {
        header.Byte(kMainStreamsInfo);
        header.Byte(kPackInfo);
        header.Number(0);  // packed streams start right after the signature header
        header.Number(streams.size());
        header.Byte(kSize);
        for (const auto* stream : streams) header.Number(stream->data.size());
        header.Byte(kEnd);

        header.Byte(kUnpackInfo);
        header.Byte(kFolder);
        header.Number(streams.size());
        header.Byte(0);  // not external
        for (std::size_t i = 0; i < streams.size(); ++i) {
            header.Number(1);   // one coder
            header.Byte(0x01);  // simple coder, one-byte codec id
            header.Byte(0x00);  // copy
        }
        header.Byte(kCodersUnpackSize);
        for (const auto* stream : streams) header.Number(stream->data.size());
        header.Byte(kEnd);

        header.Byte(kSubStreamsInfo);
        header.Byte(kCrc);
        header.Byte(1);  // all defined
        for (const auto* stream : streams) header.UInt32(Crc32(stream->data));
        header.Byte(kEnd);
        header.Byte(kEnd);
    }

    header.Byte(kFilesInfo);
    header.Number(entries.size());
    if (std::find(emptyStream.begin(), emptyStream.end(), true) != emptyStream.end()) {
        ByteWriter bits;
        bits.Bits(emptyStream);
        WriteProperty(header, kEmptyStream, bits);
        ByteWriter fileBits;
        fileBits.Bits(emptyFile);
        WriteProperty(header, kEmptyFile, fileBits);
    }
    WriteProperty(header, kName, names);
    ByteWriter times;
    times.Byte(1);  // all defined
    times.Byte(0);  // not external
    for (std::size_t i = 0; i < entries.size(); ++i) times.UInt64(kArchiveEntryTime);
    WriteProperty(header, kModificationTime, times);
    ByteWriter attributes;
    attributes.Byte(1);
    attributes.Byte(0);
    for (const auto& entry : entries)
        attributes.UInt32(entry.isFolder ? kAttributeDirectory : kAttributeArchive);
    WriteProperty(header, kWindowsAttributes, attributes);
    header.Byte(kEnd);
    header.Byte(kEnd);

    ByteWriter startHeader;
    startHeader.UInt64(packed.bytes.size());
    startHeader.UInt64(header.bytes.size());
    startHeader.UInt32(Crc32(header.bytes));

    ByteWriter archive;
    archive.Append(std::array<uint8_t, 6>{'7', 'z', 0xBC, 0xAF, 0x27, 0x1C});
    archive.Byte(0);
    archive.Byte(4);
    archive.UInt32(Crc32(startHeader.bytes));
    archive.Append(startHeader.bytes);
    archive.Append(packed.bytes);
    archive.Append(header.bytes);
    return std::move(archive.bytes);
}

}  // namespace kaviro::builder
