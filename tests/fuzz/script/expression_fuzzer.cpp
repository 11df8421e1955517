// The expression evaluator and the expansion that feeds it.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "script/expression.h"
#include "script/variable_manager.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    using namespace kaviro::script;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const std::string result = EvaluateExpression(text);
    if (result != "TRUE" && result != "FALSE" && result != "ERROR") __builtin_trap();
    (void)CheckExpressionSyntax(text);
    TVariableManager store;
    store.Set("A", "$B$\"");
    store.Set("B", "$A$");
    store.Set("C", "x$C$");
    (void)EvaluateExpression(store.ExpandQuoted(text));
    return 0;
}
