// Benchmark: single-threaded decode of one large LZMA2 archive by the
// library core and by `7zz t -mmt1`, side by side in one run. Prints both
// times, the ratio 7zz time / our time, and the peak memory of each.
//
//   oru_decode_benchmark [work folder [input MiB]]
//
// The archive (over 100 MB packed) is generated once in the work folder from
// a mix of text-like and binary data and reused by later runs.

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "oru/archive.h"
#include "oru/archive_error.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;
using namespace kaviro::oru;

class PosixFileInput : public RandomAccessInput {
public:
    explicit PosixFileInput(const fs::path& path) : descriptor_(open(path.c_str(), O_RDONLY)) {
        if (descriptor_ < 0) {
            throw std::runtime_error("cannot open " + path.string());
        }
        size_ = static_cast<uint64_t>(lseek(descriptor_, 0, SEEK_END));
    }
    ~PosixFileInput() override { close(descriptor_); }
    PosixFileInput(const PosixFileInput&) = delete;
    PosixFileInput& operator=(const PosixFileInput&) = delete;
    [[nodiscard]] uint64_t Size() const override { return size_; }
    size_t ReadAt(uint64_t offset, uint8_t* buffer, size_t size) override {
        const ssize_t count = pread(descriptor_, buffer, size, static_cast<off_t>(offset));
        if (count < 0) {
            throw ArchiveError(ArchiveErrorCode::DataError, "read failed");
        }
        return static_cast<size_t>(count);
    }

private:
    int descriptor_;
    uint64_t size_ = 0;
};

// Like `7zz t`: decode and check every file, write nothing.
class DiscardingFile : public OutputFile {
public:
    void Write(const uint8_t*, size_t) override {}
    void Commit() override {}
};
class DiscardingTarget : public ExtractionTarget {
public:
    void CreateFolder(const std::u16string&, const Entry&) override {}
    std::unique_ptr<OutputFile> CreateOutputFile(const std::u16string&, const Entry&) override {
        return std::make_unique<DiscardingFile>();
    }
};
class SilentObserver : public ExtractionObserver {
public:
    bool Progress(const Entry&, uint64_t, uint64_t) override { return true; }
};

int DecodeOnly(const char* archivePath) {
    try {
        PosixFileInput input(archivePath);
        Archive archive(input, [] { return std::optional<std::u16string>(); });
        DiscardingTarget target;
        SilentObserver observer;
        archive.Extract(std::vector<bool>(archive.Entries().size(), true), PathMode::FullPaths, target, observer);
        return 0;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "decode failed: %s\n", error.what());
        return 1;
    }
}

// Writes size bytes of generated data in pieces, never holding it all.
// Text: words of a skewed 4096-word vocabulary with numbers and punctuation.
// Records: 32-byte binary records with counters, small enums and noise.
void WriteGenerated(const fs::path& path, uint64_t size, uint32_t seed, int kind) {
    std::mt19937 random(seed);
    std::vector<std::string> vocabulary(4096);
    for (std::string& word : vocabulary) {
        const size_t length = 2 + random() % 10;
        for (size_t i = 0; i < length; ++i) {
            word.push_back(static_cast<char>('a' + random() % 26));
        }
    }
    static const char* const kPunctuation[] = {" ", " ", " ", " ", ", ", ". ", "\r\n", " = ", "; ", "\\"};
    std::ofstream out(path, std::ios::binary);
    std::vector<char> block;
    uint64_t written = 0;
    uint32_t counter = 0;
    uint32_t clock = 1700000000;
    while (written < size) {
        block.clear();
        while (block.size() < (1u << 20)) {
            if (kind == 0) {
                const uint32_t index = ((random() % 4096) * (random() % 4096)) >> 12;
                block.insert(block.end(), vocabulary[index].begin(), vocabulary[index].end());
                if (random() % 9 == 0) {
                    const std::string number = std::to_string(random() % 100000);
                    block.insert(block.end(), number.begin(), number.end());
                }
                const char* separator = kPunctuation[random() % std::size(kPunctuation)];
                block.insert(block.end(), separator, separator + std::strlen(separator));
            } else {
                counter += 1 + random() % 3;
                clock += random() % 5;
                const uint32_t noise = random();
                const uint32_t noise2 = random();
                const uint8_t record[32] = {
                    static_cast<uint8_t>(counter), static_cast<uint8_t>(counter >> 8), static_cast<uint8_t>(counter >> 16), 0,
                    static_cast<uint8_t>(clock), static_cast<uint8_t>(clock >> 8), static_cast<uint8_t>(clock >> 16),
                    static_cast<uint8_t>(clock >> 24), static_cast<uint8_t>(random() % 8), 0, 0, 0,
                    static_cast<uint8_t>(noise), static_cast<uint8_t>(noise >> 8), static_cast<uint8_t>(noise >> 16),
                    static_cast<uint8_t>(noise >> 24), static_cast<uint8_t>(noise2 % 100), 0,
                    static_cast<uint8_t>(noise2 >> 16), 0, 'R', 'E', 'C', static_cast<uint8_t>('0' + random() % 4),
                    0xE8, static_cast<uint8_t>(random() % 16), 0, 0, 0x3F, 0x80, 0, 0};
                block.insert(block.end(), record, record + 32);
            }
        }
        const uint64_t take = std::min<uint64_t>(block.size(), size - written);
        out.write(block.data(), static_cast<std::streamsize>(take));
        written += take;
    }
}

struct RunResult {
    double seconds = 0;     // wall clock
    double cpuSeconds = 0;  // user + system: steadier on a shared machine
    long peakKilobytes = 0;
    int status = -1;
};

RunResult Run(const std::vector<std::string>& arguments) {
    std::vector<char*> argv;
    for (const std::string& argument : arguments) {
        argv.push_back(const_cast<char*>(argument.c_str()));
    }
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    RunResult result;
    const auto start = std::chrono::steady_clock::now();
    pid_t child = 0;
    if (posix_spawnp(&child, argv[0], &actions, nullptr, argv.data(), environ) != 0) {
        posix_spawn_file_actions_destroy(&actions);
        return result;
    }
    int status = 0;
    rusage usage{};
    wait4(child, &status, 0, &usage);
    result.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    result.peakKilobytes = usage.ru_maxrss;
    result.cpuSeconds = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                        static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    posix_spawn_file_actions_destroy(&actions);
    return result;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "--decode") == 0) {
        return DecodeOnly(argv[2]);
    }
    const fs::path work = argc > 1 ? fs::path(argv[1]) : fs::temp_directory_path() / "oru-benchmark";
    const fs::path archive = work / "benchmark.7z";
    constexpr uint64_t kMiB = uint64_t{1} << 20;
    constexpr uint64_t kDefaultInputMiB = 300;
    if (!fs::exists(archive)) {
        std::printf("generating the benchmark archive in %s ...\n", work.c_str());
        const fs::path input = work / "input";
        fs::create_directories(input);
        const uint64_t total = (argc > 2 ? std::strtoull(argv[2], nullptr, 10) : kDefaultInputMiB) * kMiB;
        WriteGenerated(input / "text1.txt", total / 100 * 45, 1, 0);
        WriteGenerated(input / "records.bin", total / 100 * 30, 2, 1);
        WriteGenerated(input / "text2.log", total / 100 * 25, 3, 0);
        const std::string command = "cd '" + input.string() + "' && 7zz a -t7z -bd -bso0 -bsp0 -m0=LZMA2 -mx3 -mmt2 '" +
                                    archive.string() + "' -- * >/dev/null";
        if (std::system(command.c_str()) != 0) {
            std::fprintf(stderr, "7zz failed to make the benchmark archive\n");
            return 1;
        }
        fs::remove_all(input);
    }
    uint64_t unpacked = 0;
    uint32_t dictionary = 0;
    {
        PosixFileInput input(archive);
        Archive opened(input, [] { return std::optional<std::u16string>(); });
        for (const Entry& entry : opened.Entries()) {
            unpacked += entry.size;
        }
        for (const Folder& folder : opened.Contents().streams.folders) {
            for (const Coder& coder : folder.coders) {
                if (coder.methodId == std::vector<uint8_t>{0x21} && coder.properties.size() == 1) {
                    const unsigned bits = coder.properties[0];
                    dictionary = std::max(dictionary, (2u | (bits & 1u)) << (bits / 2 + 11));
                }
            }
        }
    }
    const double packedMb = static_cast<double>(fs::file_size(archive)) / 1e6;
    const double unpackedMb = static_cast<double>(unpacked) / 1e6;
    std::printf("archive: %.1f MB packed, %.1f MB unpacked, LZMA2 dictionary %u MiB\n", packedMb, unpackedMb,
                dictionary >> 20);

    const fs::path self = fs::read_symlink("/proc/self/exe");
    // Warm the page cache, then alternate the two decoders.
    (void)Run({"7zz", "t", "-mmt1", "-bd", archive.string()});
    RunResult ours, reference;
    ours.seconds = reference.seconds = ours.cpuSeconds = reference.cpuSeconds = 1e30;
    for (int round = 0; round < 3; ++round) {
        const RunResult a = Run({self.string(), "--decode", archive.string()});
        const RunResult b = Run({"7zz", "t", "-mmt1", "-bd", archive.string()});
        if (a.status != 0 || b.status != 0) {
            std::fprintf(stderr, "a decoder failed (ours %d, 7zz %d)\n", a.status, b.status);
            return 1;
        }
        ours.seconds = std::min(ours.seconds, a.seconds);
        ours.cpuSeconds = std::min(ours.cpuSeconds, a.cpuSeconds);
        ours.peakKilobytes = std::max(ours.peakKilobytes, a.peakKilobytes);
        reference.seconds = std::min(reference.seconds, b.seconds);
        reference.cpuSeconds = std::min(reference.cpuSeconds, b.cpuSeconds);
        reference.peakKilobytes = std::max(reference.peakKilobytes, b.peakKilobytes);
    }
    std::printf("best of 3    wall s    cpu s    MB/s (cpu)   peak MiB\n");
    std::printf("oru core   %8.3f %8.3f %12.1f %10.1f\n", ours.seconds, ours.cpuSeconds, unpackedMb / ours.cpuSeconds,
                static_cast<double>(ours.peakKilobytes) / 1024);
    std::printf("7zz -mmt1  %8.3f %8.3f %12.1f %10.1f\n", reference.seconds, reference.cpuSeconds,
                unpackedMb / reference.cpuSeconds, static_cast<double>(reference.peakKilobytes) / 1024);
    std::printf("ratio 7zz time / our time: %.3f wall, %.3f cpu (goal >= 1.0)\n", reference.seconds / ours.seconds,
                reference.cpuSeconds / ours.cpuSeconds);
    std::printf("our peak memory %.1f MiB, goal <= dictionary + 16 = %u MiB\n",
                static_cast<double>(ours.peakKilobytes) / 1024, (dictionary >> 20) + 16);
    return 0;
}
