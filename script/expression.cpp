#include "script/expression.h"

#include <optional>

namespace kaviro::script {

namespace {

// Consumes the working text from the left. Values are 0 and 1; an empty
// optional is an error.
class ExpressionReader {
public:
    explicit ExpressionReader(std::string_view text) : w_(text) {}

    std::optional<int> Sequence(int nesting) {
        auto value = Term(nesting);
        if (!value) return std::nullopt;
        for (;;) {
            SkipBlanks();
            if (w_.empty() || w_.front() == ')') return value;
            const std::string_view connective = Word();
            const auto term = Term(nesting);
            if (!term) return std::nullopt;
            if (connective == "and") {
                value = (*value == 1 && *term == 1) ? 1 : 0;
            } else if (connective == "or") {
                value = (*value == 1 || *term == 1) ? 1 : 0;
            } else {
                return std::nullopt;
            }
        }
    }

    bool Finished() const { return w_.empty(); }

private:
    void SkipBlanks() {
        while (!w_.empty() && w_.front() == ' ') w_.remove_prefix(1);
    }

    // Characters up to the next double quote or blank.
    std::string_view Word() {
        std::size_t end = 0;
        while (end < w_.size() && w_[end] != '"' && w_[end] != ' ') ++end;
        const std::string_view word = w_.substr(0, end);
        w_.remove_prefix(end);
        return word;
    }

    std::optional<int> Term(int nesting) {
        SkipBlanks();
        if (w_.empty()) return std::nullopt;
        if (w_.front() == '(') {
            if (nesting >= kMaxExpressionNesting) return std::nullopt;
            w_.remove_prefix(1);
            const auto value = Sequence(nesting + 1);
            if (!value) return std::nullopt;
            SkipBlanks();
            if (w_.empty() || w_.front() != ')') return std::nullopt;
            w_.remove_prefix(1);
            return value;
        }
        if (w_.front() == '"') return Comparison();
        return std::nullopt;
    }

    std::optional<std::string> Quoted() {
        if (w_.empty() || w_.front() != '"') return std::nullopt;
        std::string operand;
        std::size_t p = 1;
        for (;;) {
            if (p >= w_.size()) return std::nullopt;
            if (w_[p] == '"') {
                if (p + 1 < w_.size() && w_[p + 1] == '"') {
                    operand += '"';
                    p += 2;
                    continue;
                }
                w_.remove_prefix(p + 1);
                return operand;
            }
            operand += w_[p++];
        }
    }

    std::optional<int> Comparison() {
        const auto left = Quoted();
        if (!left) return std::nullopt;
        SkipBlanks();
        const std::string_view op = Word();
        SkipBlanks();
        const auto right = Quoted();
        if (!right) return std::nullopt;
        SkipBlanks();
        const int order = left->compare(*right);
        bool result;
        if (op == "=") {
            result = order == 0;
        } else if (op == "<>") {
            result = order != 0;
        } else if (op == "<") {
            result = order < 0;
        } else if (op == "<=") {
            result = order <= 0;
        } else if (op == ">") {
            result = order > 0;
        } else if (op == ">=") {
            result = order >= 0;
        } else {
            return std::nullopt;
        }
        return result ? 1 : 0;
    }

    std::string_view w_;
};

}  // namespace

std::string EvaluateExpression(std::string_view text) {
    std::string working;
    working.reserve(text.size() + 2);
    working += '(';
    working += text;
    working += ')';
    ExpressionReader reader(working);
    const auto value = reader.Sequence(0);
    if (!value || !reader.Finished()) return std::string(kErrorText);
    return *value == 1 ? "TRUE" : "FALSE";
}

bool CheckExpressionSyntax(std::string_view text) {
    std::string quoted(text);
    for (char& c : quoted) {
        if (c == '$') c = '"';
    }
    return EvaluateExpression(quoted) != kErrorText;
}

}  // namespace kaviro::script
