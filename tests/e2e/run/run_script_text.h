#pragma once
// Script source text for the run tests.

#include <string>
#include <vector>

namespace kaviro::e2e {

using Lines = std::vector<std::string>;

// A statement line with its parameter lines.
std::string Statement(const std::string& name, const Lines& parameters);
// Appends a line to TEMP\result.txt.
std::string WriteResult(const std::string& text);
// The number of lines of a script text (the next statement's 0-based line).
int LineCount(const std::string& scriptText);

// Registry values through reg.exe of the test prefix.
bool RegistryValueExists(const std::string& key, const std::string& name);
void SetRegistryValue(const std::string& key, const std::string& name, const std::string& data);
void DeleteRegistryValue(const std::string& key, const std::string& name);
// The REG_SZ data of a value, or nothing.
std::string RegistryText(const std::string& key, const std::string& name, bool* found = nullptr);

}  // namespace kaviro::e2e
