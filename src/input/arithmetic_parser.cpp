#include "arithmetic_parser.h"

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
        while (m_pos < m_text.size() && (m_text[m_pos] == u' ' || m_text[m_pos] == u'\t'))
            ++m_pos;
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
            done = primary(out);
        }
        --m_depth;
        return done;
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
        while (m_pos < m_text.size()) {
            const char16_t c = m_text[m_pos].unicode();
            if (c >= u'0' && c <= u'9') {
                anyDigit = true;
            } else if (c == u'.' && !point) {
                point = true;
            } else {
                break;
            }
            digits.push_back(static_cast<char>(c));
            ++m_pos;
        }
        if (!anyDigit)
            return fail(ArithmeticFailure::NotUnderstood);
        double value = 0.0;
        const auto [end, error] =
            std::from_chars(digits.data(), digits.data() + digits.size(), value, std::chars_format::fixed);
        if (error == std::errc::result_out_of_range)
            return fail(ArithmeticFailure::Overflow);
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
