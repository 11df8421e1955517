#pragma once
// Builds the decoding graph of one folder: a coder per record, connected
// through the folder's bind pairs, fed by its packed streams. Reading the
// result pulls data through the whole graph in blocks.

#include <cstdint>
#include <memory>
#include <vector>

#include "oru/aes_source.h"
#include "oru/archive_database.h"
#include "oru/byte_io.h"

namespace kaviro::oru {

class FolderDecoder {
public:
    FolderDecoder(RandomAccessInput& archive, const StreamsInfo& streams, uint32_t folderIndex, PasswordKeys& keys);

    // The folder's unpacked data, exactly UnpackSize() bytes long (a shorter
    // graph output is a DataError).
    [[nodiscard]] ByteSource& Output() { return *output_; }
    [[nodiscard]] bool Encrypted() const { return encrypted_; }

private:
    ByteSource& BuildOutput(uint32_t output);
    ByteSource& MakeCoder(const Coder& coder, const std::vector<ByteSource*>& inputs, uint64_t outputSize);
    template <typename T, typename... Args>
    T& Own(Args&&... args);

    RandomAccessInput& archive_;
    const StreamsInfo& streams_;
    const Folder& folder_;
    PasswordKeys& keys_;
    std::vector<std::unique_ptr<ByteSource>> sources_;
    std::vector<bool> coderBuilt_;
    ByteSource* output_ = nullptr;
    bool encrypted_ = false;
};

// True when some coder of the folder is the AES coder.
[[nodiscard]] bool FolderIsEncrypted(const Folder& folder);

}  // namespace kaviro::oru
