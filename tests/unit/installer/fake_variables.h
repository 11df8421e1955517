#pragma once
// A variable store for the component tests: names compared with case
// ignored, every assignment recorded with its origin.

#include <map>
#include <string>
#include <vector>

#include "engine/text_util.h"
#include "installer/setup_data_variables.h"

namespace kaviro::installer::test {

class FakeVariables final : public SetupDataVariables {
  public:
    struct Write {
        std::string name;
        std::string value;
        std::string origin;
    };

    std::string Get(std::string_view name) const override {
        const auto found = values.find(UpperCase(name));
        return found == values.end() ? std::string() : found->second;
    }
    bool Exists(std::string_view name) const override { return values.contains(UpperCase(name)); }
    void Define(std::string_view name, std::string_view value, std::string_view origin) override {
        defined.emplace_back(name);
        Assign(name, value, origin);
    }
    void Assign(std::string_view name, std::string_view value, std::string_view origin) override {
        values[UpperCase(name)] = std::string(value);
        writes.push_back({std::string(name), std::string(value), std::string(origin)});
    }

    std::map<std::string, std::string> values;  // upper-cased names
    std::vector<std::string> defined;
    std::vector<Write> writes;
};

}  // namespace kaviro::installer::test
