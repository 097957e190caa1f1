#pragma once

#include <QString>

namespace zambrel::input {

/// Why the arithmetic parser gave no value.
enum class ArithmeticFailure {
    None,
    NotUnderstood, ///< a character or shape outside the grammar below
    TooLong,       ///< longer than kMaxFormulaLength characters
    TooDeep,       ///< parentheses and signs nested deeper than kMaxNesting
    DivisionByZero,
    Overflow, ///< a number or a step result beyond the range of a double
};

struct ArithmeticResult {
    double value = 0.0; ///< finite whenever failure is None
    ArithmeticFailure failure = ArithmeticFailure::None;
    bool ok() const { return failure == ArithmeticFailure::None; }
};

inline constexpr int kMaxFormulaLength = 1000;
inline constexpr int kMaxNesting = 100;

/// Evaluates an arithmetic expression, without side effects of any kind.
///
/// Grammar (blanks and tabs allowed between tokens):
///   sum     = product { ("+" | "-") product }
///   product = signed { ("*" | "/") signed }
///   signed  = ("+" | "-") signed | primary
///   primary = number | "(" sum ")"
///   number  = digits ["." [digits]] | "." digits      (ASCII digits only)
/// Precedence as in arithmetic: signs, then * and /, then + and -, each
/// level left to right. Anything else, including the empty text, is
/// rejected. Pass the normalised text (normaliseFormula).
ArithmeticResult parseArithmetic(const QString &text);

} // namespace zambrel::input
