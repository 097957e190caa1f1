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
    Overflow,    ///< a number or a step result beyond the range of a double
    NoRealValue, ///< a power with no real value, such as (-8)^0.5
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
/// Grammar (blanks, tabs and the full-width blank allowed between tokens):
///   sum     = product { ("+" | "-") product }
///   product = signed { ("*" | "/") signed }
///   signed  = ("+" | "-") signed | power
///   power   = primary [ "^" signed ]
///   primary = number | "(" sum ")"
///   number  = mantissa [ ("e" | "E") ["+" | "-"] digits ]
///   mantissa = digits ["." [digits]] | "." digits
/// Digits are ASCII or full-width (０-９), the point "." or the full-width
/// "．"; the parser reads both, so that what an input method types needs no
/// other translation (normaliseFormula() leaves digits alone). The whole
/// digits may be grouped in threes by commas (1,200; isDigitGroupComma).
/// Precedence as on a pocket calculator: "^" binds tightest and groups from
/// the right (2^3^2 = 2^9), then signs, so -2^2 = -(2^2) = -4 while 2^-1 =
/// 0.5; then * and /, then + and -, each left to right. Anything else,
/// including the empty text, is rejected. Pass the normalised text
/// (normaliseFormula).
ArithmeticResult parseArithmetic(const QString &text);

} // namespace zambrel::input
