#include "engine/package_writer.h"

#include "engine/engine_error.h"

namespace kaviro {
namespace {

void CheckLine(const PackageField& field, std::string_view line) {
    if (line.find_first_of("\r\n") != std::string_view::npos) {
        throw EngineError(std::string("A line of the package's ") + field.name + " holds a line break: \"" +
                          std::string(line) + "\"");
    }
}

class Writer {
public:
    Writer(std::string& out, const Script& script, const PackageField& field)
        : out_(out), script_(script), field_(field) {}

    void operator()(TextList Script::*member) {
        const bool isParameters = member == &Script::parameters;
        for (const auto& line : script_.*member) {
            if (line == kListEnd) {
                if (!isParameters) {
                    throw EngineError(std::string("The package's ") + field_.name +
                                      " cannot hold a line that is exactly \"$\"");
                }
                Line(kDollarMarker);
                continue;
            }
            Line(line);
        }
        Line(kListEnd);
    }
    void operator()(std::string Script::*member) { Line(script_.*member); }
    void operator()(int32_t Script::*member) { Line(std::to_string(script_.*member)); }
    void operator()(bool Script::*member) { Line(script_.*member ? "TRUE" : "FALSE"); }

private:
    void Line(std::string_view line) {
        CheckLine(field_, line);
        out_.append(line);
        out_.append("\r\n");
    }

    std::string& out_;
    const Script& script_;
    const PackageField& field_;
};

}  // namespace

std::string WritePackage(const Script& script) {
    std::string out;
    for (const PackageField& field : PackageLayout()) std::visit(Writer(out, script, field), field.member);
    return out;
}

}  // namespace kaviro
