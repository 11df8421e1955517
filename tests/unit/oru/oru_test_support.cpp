#include "oru_test_support.h"

#include "oru/crc32.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <random>
#include <stdexcept>

#include <unistd.h>

namespace kaviro::oru::testing {
namespace fs = std::filesystem;

TempFolder::TempFolder() {
    std::string pattern = (fs::temp_directory_path() / "oru-test-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("cannot create a temporary folder");
    }
    path_ = pattern;
}

TempFolder::~TempFolder() {
    std::error_code ignored;  // best effort: a leftover temp folder is harmless
    fs::remove_all(path_, ignored);
}

void WriteFile(const fs::path& path, const Bytes& data) {
    fs::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
    if (!out) {
        throw std::runtime_error("cannot write " + path.string());
    }
}

Bytes ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        throw std::runtime_error("cannot read " + path.string());
    }
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

Bytes TextLikeData(size_t size, uint32_t seed) {
    static const char* const kWords[] = {"setup", "engine", "archive", "folder", "install", "value", "the",
                                         "of", "and", "registry", "component", "feature", "\n", ", ", ". "};
    std::mt19937 random(seed);
    Bytes data;
    while (data.size() < size) {
        const char* word = kWords[random() % std::size(kWords)];
        data.insert(data.end(), word, word + std::strlen(word));
        if (random() % 7 == 0) {
            data.push_back(static_cast<uint8_t>('0' + random() % 10));
        }
        data.push_back(' ');
    }
    data.resize(size);
    return data;
}

Bytes RandomData(size_t size, uint32_t seed) {
    std::mt19937 random(seed);
    Bytes data(size);
    for (uint8_t& byte : data) {
        byte = static_cast<uint8_t>(random());
    }
    return data;
}

Bytes X86LikeData(size_t size, uint32_t seed) {
    // Calls and jumps with plausible relative targets between runs of other code.
    std::mt19937 random(seed);
    Bytes data;
    while (data.size() < size) {
        switch (random() % 6) {
            case 0:
            case 1: {
                data.push_back(random() % 2 == 0 ? 0xE8 : 0xE9);
                const int32_t target = static_cast<int32_t>(random() % 0x40000) - 0x20000;
                for (int i = 0; i < 4; ++i) {
                    data.push_back(static_cast<uint8_t>(static_cast<uint32_t>(target) >> (8 * i)));
                }
                break;
            }
            case 2:
                data.push_back(0x0F);
                data.push_back(static_cast<uint8_t>(0x80 + random() % 16));
                for (int i = 0; i < 4; ++i) {
                    data.push_back(static_cast<uint8_t>(i < 2 ? random() : 0));
                }
                break;
            default: {
                static const uint8_t kCode[] = {0x55, 0x48, 0x89, 0xE5, 0x8B, 0x45, 0xFC, 0x83, 0xC0, 0x01, 0xC3};
                const size_t take = 1 + random() % std::size(kCode);
                data.insert(data.end(), kCode, kCode + take);
            }
        }
    }
    data.resize(size);
    return data;
}

Bytes Arm64LikeData(size_t size, uint32_t seed) {
    std::mt19937 random(seed);
    Bytes data;
    while (data.size() < size) {
        uint32_t instruction;
        switch (random() % 4) {
            case 0:
                instruction = 0x94000000u | (random() & 0x3FFFFu);  // BL
                break;
            case 1:
                instruction = 0x90000000u | (random() & 0x1Fu) | ((random() & 0x3u) << 29) | ((random() & 0x7FFu) << 5);
                break;  // ADRP
            default:
                instruction = 0xD503201Fu + (random() % 4) * 0x100;  // ordinary instructions
        }
        for (int i = 0; i < 4; ++i) {
            data.push_back(static_cast<uint8_t>(instruction >> (8 * i)));
        }
    }
    data.resize(size);
    return data;
}

SampleTree MakeSampleTree(const fs::path& root, size_t scale) {
    SampleTree tree;
    const auto add = [&](const std::string& path, Bytes data) {
        WriteFile(root / fs::path(path), data);
        tree.files[path] = std::move(data);
    };
    add("readme.txt", TextLikeData(20000 * scale, 1));
    add("bin/random.dat", RandomData(3000 * scale, 2));
    add("bin/program.exe", X86LikeData(40000 * scale, 3));
    add("bin/arm64.bin", Arm64LikeData(16000 * scale, 4));
    add("docs/nested/deep/notes.txt", TextLikeData(5000 * scale, 5));
    add("docs/empty.txt", {});
    add("docs/gr\xc3\xbc\xc3\x9f" "e-\xd0\xb4\xd0\xb0\xd0\xbd\xd0\xbd\xd1\x8b\xd0\xb5.txt", TextLikeData(777, 6));
    add("mixed.bin", [&] {
        Bytes mixed = TextLikeData(60000 * scale, 7);
        const Bytes noise = RandomData(30000 * scale, 8);
        mixed.insert(mixed.begin() + static_cast<ptrdiff_t>(mixed.size() / 2), noise.begin(), noise.end());
        return mixed;
    }());
    fs::create_directories(root / "empty folder");
    tree.folders = {"bin", "docs", "docs/nested", "docs/nested/deep", "empty folder"};
    return tree;
}

void Make7z(const fs::path& archive, const fs::path& folder, const std::string& switches) {
    const std::string command = "cd '" + folder.string() + "' && 7zz a -t7z -bd -bso0 -bsp0 -y '" +
                                archive.string() + "' " + switches + " -- * >/dev/null 2>&1";
    if (std::system(command.c_str()) != 0) {
        throw std::runtime_error("7zz failed: " + command);
    }
}

fs::path LargeFileArchive(const fs::path& folder) {
    const fs::path archive = folder / "large-file.7z";
    if (fs::exists(archive)) {
        return archive;
    }
    TempFolder work;
    const fs::path tree = work.Path() / "tree";
    WriteFile(tree / "zeros.bin", {});
    fs::resize_file(tree / "zeros.bin", kLargeFileSize);  // sparse: no data blocks
    Make7z(work.Path() / "large-file.7z", tree, "-m0=LZMA2 -mx1");
    // Copied under a temporary name and renamed, so a half-made archive is
    // never taken for a finished one by a later or parallel run.
    fs::create_directories(folder);
    const fs::path partial = folder / ("large-file." + std::to_string(getpid()) + ".partial");
    fs::copy_file(work.Path() / "large-file.7z", partial, fs::copy_options::overwrite_existing);
    fs::rename(partial, archive);
    return archive;
}

Bytes PatchHeader(const Bytes& archive, const Bytes& from, const Bytes& to) {
    if (from.size() != to.size() || archive.size() < 32) {
        throw std::invalid_argument("PatchHeader needs runs of equal length");
    }
    Bytes patched = archive;
    const auto little64 = [&](size_t at) {
        uint64_t value = 0;
        for (int i = 7; i >= 0; --i) {
            value = value << 8 | patched[at + static_cast<size_t>(i)];
        }
        return value;
    };
    const auto store32 = [&](size_t at, uint32_t value) {
        for (int i = 0; i < 4; ++i) {
            patched[at + static_cast<size_t>(i)] = static_cast<uint8_t>(value >> (8 * i));
        }
    };
    const size_t headerOffset = 32 + static_cast<size_t>(little64(12));
    const size_t headerSize = static_cast<size_t>(little64(20));
    if (headerOffset + headerSize > patched.size()) {
        throw std::invalid_argument("archive header out of range");
    }
    const auto headerBegin = patched.begin() + static_cast<std::ptrdiff_t>(headerOffset);
    const auto headerEnd = headerBegin + static_cast<std::ptrdiff_t>(headerSize);
    const auto found = std::search(headerBegin, headerEnd, from.begin(), from.end());
    if (found == headerEnd) {
        throw std::invalid_argument("bytes to patch not found in the archive header");
    }
    std::copy(to.begin(), to.end(), found);
    store32(28, Crc32(patched.data() + headerOffset, headerSize));
    store32(8, Crc32(patched.data() + 12, 20));
    return patched;
}

Bytes RenameEntry(const Bytes& archive, const std::string& from, const std::string& to) {
    const auto wide = [](const std::string& text) {
        Bytes bytes;
        for (char c : text) {
            bytes.push_back(static_cast<uint8_t>(c));
            bytes.push_back(0);
        }
        return bytes;
    };
    return PatchHeader(archive, wide(from), wide(to));
}

size_t MemoryInput::ReadAt(uint64_t offset, uint8_t* buffer, size_t size) {
    if (offset >= data_.size()) {
        return 0;
    }
    const size_t count = static_cast<size_t>(std::min<uint64_t>(size, data_.size() - offset));
    std::memcpy(buffer, data_.data() + offset, count);
    return count;
}

namespace {

class MemoryFile : public OutputFile {
public:
    MemoryFile(MemoryTarget& target, std::string path) : target_(target), path_(std::move(path)) {}
    ~MemoryFile() override {
        if (!committed_) {
            ++target_.discarded;
        }
    }
    void Write(const uint8_t* data, size_t size) override { data_.insert(data_.end(), data, data + size); }
    void Commit() override {
        target_.files[path_] = std::move(data_);
        target_.events.push_back("file " + path_);
        committed_ = true;
    }

private:
    MemoryTarget& target_;
    std::string path_;
    Bytes data_;
    bool committed_ = false;
};

}  // namespace

void MemoryTarget::CreateFolder(const std::u16string& path, const Entry&) {
    folders.insert(Utf8(path));
    events.push_back("folder " + Utf8(path));
}

void MemoryTarget::FinishFolder(const std::u16string& path, const Entry&) { events.push_back("finish " + Utf8(path)); }

std::unique_ptr<OutputFile> MemoryTarget::CreateOutputFile(const std::u16string& path, const Entry&) {
    return std::make_unique<MemoryFile>(*this, Utf8(path));
}

bool CountingObserver::Progress(const Entry&, uint64_t done, uint64_t total) {
    ++calls;
    monotonic = monotonic && done >= lastDone && done <= total;
    lastDone = done;
    lastTotal = total;
    return cancelAfter_ < 0 || calls <= cancelAfter_;
}

std::string Utf8(const std::u16string& text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        uint32_t code = text[i];
        if (code >= 0xD800 && code < 0xDC00 && i + 1 < text.size()) {
            code = 0x10000 + ((code - 0xD800) << 10) + (text[++i] - 0xDC00);
        }
        if (code < 0x80) {
            out.push_back(static_cast<char>(code));
        } else if (code < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (code >> 6)));
            out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
        } else if (code < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (code >> 12)));
            out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (code >> 18)));
            out.push_back(static_cast<char>(0x80 | ((code >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
        }
    }
    return out;
}

std::u16string Utf16(const std::string& text) {
    std::u16string out;
    for (size_t i = 0; i < text.size();) {
        const uint8_t lead = static_cast<uint8_t>(text[i]);
        uint32_t code;
        size_t length;
        if (lead < 0x80) {
            code = lead;
            length = 1;
        } else if (lead < 0xE0) {
            code = lead & 0x1F;
            length = 2;
        } else if (lead < 0xF0) {
            code = lead & 0x0F;
            length = 3;
        } else {
            code = lead & 0x07;
            length = 4;
        }
        for (size_t k = 1; k < length && i + k < text.size(); ++k) {
            code = (code << 6) | (static_cast<uint8_t>(text[i + k]) & 0x3F);
        }
        i += length;
        if (code >= 0x10000) {
            code -= 0x10000;
            out.push_back(static_cast<char16_t>(0xD800 + (code >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + (code & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(code));
        }
    }
    return out;
}

void ExtractAll(const Bytes& archive, const std::string& password, ExtractionResult& result, PathMode mode) {
    MemoryInput input(archive);
    Archive opened(input, [&]() -> std::optional<std::u16string> {
        if (password.empty()) {
            return std::nullopt;
        }
        return Utf16(password);
    });
    const std::vector<bool> all(opened.Entries().size(), true);
    opened.Extract(all, mode, result.target, result.observer);
}

}  // namespace kaviro::oru::testing
