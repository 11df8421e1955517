// Feeds arbitrary bytes to the setup data file reader, plain and merging,
// then exercises the lookups a run makes on the loaded model. Anything but
// EngineError (the documented conversion error) is a fault.
#include <unistd.h>

#include <cstdint>
#include <fstream>
#include <map>
#include <string>

#include "engine/engine_error.h"
#include "installer/setup_data_file.h"

namespace {

class MapVariables : public kaviro::installer::SetupDataVariables {
  public:
    std::string Get(std::string_view name) const override {
        const auto found = values_.find(std::string(name));
        return found == values_.end() ? std::string() : found->second;
    }
    bool Exists(std::string_view name) const override { return values_.count(std::string(name)) != 0; }
    void Define(std::string_view name, std::string_view value, std::string_view) override {
        values_[std::string(name)] = std::string(value);
    }
    void Assign(std::string_view name, std::string_view value, std::string_view origin) override {
        Define(name, value, origin);
    }

  private:
    std::map<std::string, std::string> values_;
};

const std::string& InputPath() {
    static const std::string path = "/tmp/kaviro-setup-data-fuzz-" + std::to_string(getpid()) + ".dat";
    return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    {
        std::ofstream file(InputPath(), std::ios::binary | std::ios::trunc);
        file.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    for (const bool merge : {false, true}) {
        kaviro::installer::ComponentModel model;
        model.DefineComponent("Tools", "", true);
        model.DefineComponent("Tools\\Help", "", false);
        MapVariables variables;
        std::string mode = "Win32";
        kaviro::installer::SetupDataContext context{model, variables, mode, ""};
        try {
            kaviro::installer::LoadSetupData(context, InputPath(), merge, false);
            for (const auto& name : model.Lists().components) {
                (void)model.GetComponentState(name);
                (void)model.IsLockedOrAncestorLocked(name);
                (void)model.ComponentSize(name);
            }
            (void)model.SelectedSize();
            kaviro::installer::SaveSetupData(context, InputPath() + ".out", true, true);
        } catch (const kaviro::EngineError&) {
            // A size line that is not a number, or an overflowing sum: the reported errors.
        }
    }
    return 0;
}
