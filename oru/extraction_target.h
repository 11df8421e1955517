#pragma once
// Where extraction writes: the DLL uses the Windows file system, tests use
// memory. Paths are relative to the output folder, '/'-separated, and have
// passed SafeRelativePath.

#include <memory>
#include <string>

#include "oru/archive_database.h"
#include "oru/byte_io.h"

namespace kaviro::oru {

// A file being written. Until Commit it must not look complete (it is
// written under a temporary name); destroying it uncommitted removes it.
class OutputFile : public ByteSink {
public:
    virtual void Commit() = 0;
};

class ExtractionTarget {
public:
    virtual ~ExtractionTarget() = default;
    virtual void CreateFolder(const std::u16string& path, const Entry& entry) = 0;
    // Creates missing parent folders; replaces an existing file of that name on
    // Commit. Returns null when the file is to be skipped (its data is still
    // decoded and checked).
    virtual std::unique_ptr<OutputFile> CreateOutputFile(const std::u16string& path, const Entry& entry) = 0;
    // Called for each folder entry created by CreateFolder once everything
    // below it is written (deepest first), to give the folder its stored time
    // and attributes: writing files into a folder would change its time, and
    // a read-only folder could refuse them. Targets that keep no metadata
    // need not implement it.
    virtual void FinishFolder(const std::u16string& path, const Entry& entry) {
        static_cast<void>(path);
        static_cast<void>(entry);
    }
};

class ExtractionObserver {
public:
    virtual ~ExtractionObserver() = default;
    // Bytes done and total of the whole extraction; false cancels it.
    virtual bool Progress(const Entry& entry, uint64_t done, uint64_t total) = 0;
};

}  // namespace kaviro::oru
