#pragma once
// Script text helpers for the file command tests: statements, a result file
// the script writes, and the files of the run's TEMP folder.

#include <filesystem>
#include <string>
#include <vector>

#include "tests/e2e/script/script_project.h"

namespace kaviro::e2e {

using Lines = std::vector<std::string>;

inline std::string Statement(const std::string& name, const Lines& parameters) {
    std::string text = name + "\n";
    for (const std::string& parameter : parameters)
        text += parameter.empty() ? "    |\n" : "    | " + parameter + "\n";
    return text;
}

// Appends a line to result.txt in the run's TEMP.
inline std::string Write(const std::string& text) {
    return Statement("Write to Text File", {"$TEMPDIR$result.txt", text, ""});
}

inline Lines ResultLines(const ScriptRun& run) { return ReadTextLines(run.tempFolder + "/result.txt"); }

// The text after "key=" of the first result line that has that key.
inline std::string ResultValue(const Lines& lines, const std::string& key) {
    for (const std::string& line : lines) {
        if (line.rfind(key + "=", 0) == 0) return line.substr(key.size() + 1);
    }
    return "<missing " + key + ">";
}

// Creates a file (and its folders) below the scratch TEMP folder.
inline void MakeFile(const Scratch& scratch, const std::string& relative, const std::string& bytes = "x") {
    const std::filesystem::path path = std::filesystem::path(scratch.Temp()) / relative;
    std::filesystem::create_directories(path.parent_path());
    WriteFileBytes(path.string(), bytes);
}

// One subfolder and one matching file per folder, so the platform's
// enumeration order cannot change the listing.
inline void MakeSearchTree(const Scratch& scratch) {
    MakeFile(scratch, "tree/sub/deep/d.txt");
    MakeFile(scratch, "tree/sub/s.txt");
    MakeFile(scratch, "tree/sub/skip.dat");
    MakeFile(scratch, "tree/a b.txt");
    MakeFile(scratch, "tree/x.dat");
}

// The listing of MakeSearchTree for "*.txt" with recursion and folders, T = TEMPDIR.
inline Lines FullSearchListing(const std::string& t) {
    return {t + "tree\\sub\\deep\\d.txt", t + "tree\\sub\\deep", t + "tree\\sub\\s.txt", t + "tree\\sub",
            "\"" + t + "tree\\a b.txt\""};
}

inline std::string JoinBars(const Lines& entries, std::size_t count) {
    std::string text;
    for (std::size_t i = 0; i < count && i < entries.size(); ++i) text += (i ? "|" : "") + entries[i];
    return text;
}

}  // namespace kaviro::e2e
