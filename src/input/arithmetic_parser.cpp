#include "arithmetic_parser.h"

#include "calc_text.h"

#include <charconv>
#include <cmath>
#include <string>

namespace zambrel::input {
namespace {

/// Recursive descent over the text; every descent step counts towards the
/// nesting bound, so the stack stays small whatever is typed.
class Parser {
public:
    explicit Parser(const QString &text) : m_text(text) {}

    ArithmeticResult run()
    {
        double value = 0.0;
        if (!sum(value))
            return {0.0, m_failure};
        skipBlanks();
        if (m_pos != m_text.size())
            return {0.0, ArithmeticFailure::NotUnderstood};
        return {value, ArithmeticFailure::None};
    }

private:
    bool fail(ArithmeticFailure why)
    {
        if (m_failure == ArithmeticFailure::None)
            m_failure = why;
        return false;
    }

    void skipBlanks()
    {
        while (m_pos < m_text.size() &&
               (m_text[m_pos] == u' ' || m_text[m_pos] == u'\t' || m_text[m_pos] == u'\u3000'))
            ++m_pos;
    }

    /// The ASCII digit or point the character at `at` stands for, or 0.
    char digitAt(qsizetype at) const
    {
        if (at >= m_text.size())
            return 0;
        const char16_t c = m_text[at].unicode();
        if (c >= u'0' && c <= u'9')
            return char(c);
        if (c >= u'\uFF10' && c <= u'\uFF19') // full-width digits
            return char('0' + (c - u'\uFF10'));
        if (c == u'.' || c == u'\uFF0E') // the point, or the full-width one
            return '.';
        return 0;
    }

    bool peek(char16_t c)
    {
        skipBlanks();
        return m_pos < m_text.size() && m_text[m_pos] == c;
    }

    bool checked(double value, double &out)
    {
        if (!std::isfinite(value))
            return fail(ArithmeticFailure::Overflow);
        out = value;
        return true;
    }

    bool sum(double &out)
    {
        double left = 0.0;
        if (!product(left))
            return false;
        for (;;) {
            const bool plus = peek(u'+');
            if (!plus && !peek(u'-'))
                break;
            ++m_pos;
            double right = 0.0;
            if (!product(right) || !checked(plus ? left + right : left - right, left))
                return false;
        }
        out = left;
        return true;
    }

    bool product(double &out)
    {
        double left = 0.0;
        if (!signedValue(left))
            return false;
        for (;;) {
            const bool times = peek(u'*');
            if (!times && !peek(u'/'))
                break;
            ++m_pos;
            double right = 0.0;
            if (!signedValue(right))
                return false;
            if (!times && right == 0.0)
                return fail(ArithmeticFailure::DivisionByZero);
            if (!checked(times ? left * right : left / right, left))
                return false;
        }
        out = left;
        return true;
    }

    bool signedValue(double &out)
    {
        if (++m_depth > kMaxNesting)
            return fail(ArithmeticFailure::TooDeep);
        bool done = false;
        if (peek(u'-') || peek(u'+')) {
            const bool minus = m_text[m_pos] == u'-';
            ++m_pos;
            double operand = 0.0;
            done = signedValue(operand);
            out = minus ? -operand : operand;
        } else {
            done = power(out);
        }
        --m_depth;
        return done;
    }

    bool power(double &out)
    {
        double base = 0.0;
        if (!primary(base))
            return false;
        if (!peek(u'^')) {
            out = base;
            return true;
        }
        ++m_pos;
        double exponent = 0.0;
        // The exponent may carry a sign and is itself a power: right to left.
        if (!signedValue(exponent))
            return false;
        if (base == 0.0 && exponent < 0.0)
            return fail(ArithmeticFailure::DivisionByZero);
        const double value = std::pow(base, exponent);
        if (std::isnan(value))
            return fail(ArithmeticFailure::NoRealValue);
        return checked(value, out);
    }

    bool primary(double &out)
    {
        if (peek(u'(')) {
            ++m_pos;
            if (!sum(out))
                return false;
            if (!peek(u')'))
                return fail(ArithmeticFailure::NotUnderstood);
            ++m_pos;
            return true;
        }
        return number(out);
    }

    bool number(double &out)
    {
        skipBlanks();
        std::string digits;
        bool point = false;
        bool anyDigit = false;
        for (char c = digitAt(m_pos); c != 0; c = digitAt(m_pos)) {
            // A comma grouping the whole digits (1,200) is read past.
            if (!point && m_pos + 1 < m_text.size() && isDigitGroupComma(m_text, m_pos + 1)) {
                digits.push_back(c);
                anyDigit = true;
                m_pos += 2;
                continue;
            }
            if (c == '.') {
                if (point)
                    break;
                point = true;
            } else {
                anyDigit = true;
            }
            digits.push_back(c);
            ++m_pos;
        }
        if (!anyDigit)
            return fail(ArithmeticFailure::NotUnderstood);
        // An exponent: "e" or "E", an optional sign, digits (1e5, 2.5E-3).
        if (m_pos < m_text.size() && (m_text[m_pos] == u'e' || m_text[m_pos] == u'E')) {
            qsizetype at = m_pos + 1;
            std::string exponent = "e";
            if (at < m_text.size() && (m_text[at] == u'+' || m_text[at] == u'-'))
                exponent.push_back(char(m_text[at++].unicode()));
            bool exponentDigit = false;
            for (char c = digitAt(at); c != 0 && c != '.'; c = digitAt(++at)) {
                exponent.push_back(c);
                exponentDigit = true;
            }
            if (!exponentDigit)
                return fail(ArithmeticFailure::NotUnderstood);
            digits += exponent;
            m_pos = at;
        }
        double value = 0.0;
        const auto [end, error] =
            std::from_chars(digits.data(), digits.data() + digits.size(), value, std::chars_format::general);
        if (error == std::errc::result_out_of_range) {
            // Too small for a double is as good as 0; too large is an overflow.
            if (digits.find("e-") == std::string::npos)
                return fail(ArithmeticFailure::Overflow);
            out = 0.0;
            return true;
        }
        if (error != std::errc() || end != digits.data() + digits.size())
            return fail(ArithmeticFailure::NotUnderstood);
        return checked(value, out);
    }

    const QString &m_text;
    qsizetype m_pos = 0;
    int m_depth = 0;
    ArithmeticFailure m_failure = ArithmeticFailure::None;
};

} // namespace

ArithmeticResult parseArithmetic(const QString &text)
{
    if (text.size() > kMaxFormulaLength)
        return {0.0, ArithmeticFailure::TooLong};
    return Parser(text).run();
}

} // namespace zambrel::input
