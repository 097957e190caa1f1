#include "input/amount_formula.h"
#include "input/arithmetic_parser.h"
#include "input/calc_text.h"
#include "input/fallback_evaluator.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace zambrel;
using namespace zambrel::input;

namespace {

struct RoadCase {
    const char *typed;
    const char *field;    // the field's text after Enter
    const char *fallback; // the own evaluator's plain text on the typed text
};

// Worked examples on both roads: what Enter leaves in the field, and what the
// own evaluator alone makes of the same text.
const RoadCase kRoadCases[] = {
    {"2+3*4", "14.00", "14"},
    {"3*-2", "-6.00", "-6"},
    {"2*(3+(4-1))", "12.00", "12"},
    {"1/3", "0.33", "0.333333333333333"},
    {"5-", "5", "5"}, // not arithmetic: a missing last operand counts as 0
    {"", "0", "0"},
    {" 1 + 2 ", "3.00", "3"},
    // "x" or "X" between numbers is a times sign, as "×" is.
    {"3x4", "12.00", "12"},
};

// Formulas the own evaluator could only read by dropping or reinterpreting a
// character, or whose result overflows: the field keeps the typed text and
// one message names the formula and says why.
struct RefusedCase {
    const char *typed;
    QString reason;
};

const RefusedCase kRefusedCases[] = {
    {"1200 3", blankInNumberText()},
    {"12,5*2", unknownCharacterText(u',')},
    {"2^1024", overflowText()},
    {"2**3", missingNumberText()},
    {"٣+٤", unknownCharacterText(u'٣')},
    {"3x", unknownCharacterText(u'x')},
    {"5.5.5+1", twoPointsText()},
    {"2(3)", missingOperatorText()},
    {"(-8)^0.5", noRealValueText()},
    {"0^-1", divisionByZeroText()},
};

} // namespace

TEST(AmountEnter, WorkedExamplesOnBothRoads)
{
    for (const RoadCase &c : kRoadCases) {
        const QString typed = QString::fromUtf8(c.typed);
        SCOPED_TRACE(c.typed);
        const CalcResult result = evaluateAmountField(typed);
        EXPECT_EQ(result.text, QString::fromUtf8(c.field));
        EXPECT_TRUE(result.evaluated);
        EXPECT_TRUE(result.messages.isEmpty());
        const FallbackEvaluation own = evaluateFormula(typed);
        EXPECT_EQ(plainNumberText(own.value), QString::fromUtf8(c.fallback));
        EXPECT_FALSE(own.escaped());
    }
}

TEST(AmountEnter, FormulasThatWouldBeMisreadKeepTheirText)
{
    for (const RefusedCase &c : kRefusedCases) {
        const QString typed = QString::fromUtf8(c.typed);
        SCOPED_TRACE(c.typed);
        const CalcResult result = evaluateAmountField(typed);
        EXPECT_FALSE(result.evaluated);
        EXPECT_EQ(result.text, typed);
        EXPECT_EQ(result.messages,
                  QStringList{QStringLiteral("表达式：") + typed + QStringLiteral(" 错误。 ") + c.reason});
    }
}

// What the own evaluator rightly does where the parser gives up stays: deep
// parentheses are worked out, division by zero and unpaired parentheses are
// said and give 0.
TEST(AmountEnter, TheOwnEvaluatorStillServesWhatItReadsRightly)
{
    const QString deep =
        QString(kMaxNesting + 1, u'(') + QStringLiteral("2+3") + QString(kMaxNesting + 1, u')');
    ASSERT_EQ(parseArithmetic(deep).failure, ArithmeticFailure::TooDeep);
    CalcResult result = evaluateAmountField(deep);
    EXPECT_EQ(result.text, QStringLiteral("5"));
    EXPECT_TRUE(result.messages.isEmpty());

    result = evaluateAmountField(QStringLiteral("(1/0)+5"));
    EXPECT_EQ(result.text, QStringLiteral("5"));
    EXPECT_EQ(result.messages, QStringList{QStringLiteral("表达式：1/0 错误。") + divisionByZeroText()});
}

TEST(AmountEnter, ErrorsReportedAndNeverInfinite)
{
    // Unpaired parentheses, either way round.
    CalcResult result;
    for (const QString &typed : {QStringLiteral("(1+2"), QStringLiteral(")1+2("), QStringLiteral("1)")}) {
        result = evaluateAmountField(typed);
        EXPECT_EQ(result.text, QStringLiteral("0"));
        EXPECT_EQ(result.messages, QStringList{QStringLiteral("括号不成对")});
    }

    // Too long for either road: the field keeps its text.
    const QString tooLong = QString(kMaxFormulaLength, u'1') + QStringLiteral("+1");
    result = evaluateAmountField(tooLong);
    EXPECT_FALSE(result.evaluated);
    EXPECT_EQ(result.text, tooLong);
    EXPECT_EQ(result.messages, QStringList{QStringLiteral("表达式：") + tooLong + QStringLiteral(" 错误。 ") +
                                           formulaTooLongText()});
}

TEST(ArithmeticParser, PrecedenceSignsAndRejections)
{
    struct Case {
        const char *text;
        double value;
    };
    const Case accepted[] = {
        {"2+3*4", 14},
        {"-2*-3", 6},
        {"-(2+3)*2", -10},
        {"0.1+0.2", 0.30000000000000004},
        // Exponents, powers and full-width digits, as people type them.
        {"1e5", 1e5},
        {"1e-400", 0},
        {"2^3^2", 512},
        {"-2^2", -4},
        {"2^0.5*2^0.5", 2.0000000000000004},
        {"１．５+0.5", 2},
        {"1\u3000+\u30002", 3},
    };
    for (const Case &c : accepted) {
        SCOPED_TRACE(c.text);
        const ArithmeticResult r = parseArithmetic(QString::fromUtf8(c.text));
        ASSERT_TRUE(r.ok());
        EXPECT_DOUBLE_EQ(r.value, c.value);
    }

    const char *rejected[] = {"", "1 2", "5-", "2(3)", "1+2)", "1..2", "1,5", "()", "1e", "1e5.5", "2^^2", "Eval(1)"};
    for (const char *text : rejected) {
        SCOPED_TRACE(text);
        EXPECT_EQ(parseArithmetic(QString::fromUtf8(text)).failure, ArithmeticFailure::NotUnderstood);
    }
    EXPECT_EQ(parseArithmetic(QStringLiteral("1/(2-2)")).failure, ArithmeticFailure::DivisionByZero);
    EXPECT_EQ(parseArithmetic(QString(400, u'9')).failure, ArithmeticFailure::Overflow);
    EXPECT_EQ(parseArithmetic(QStringLiteral("1e400")).failure, ArithmeticFailure::Overflow);
    // (Parentheses past the depth: the own evaluator's test above.)
    EXPECT_EQ(parseArithmetic(QString(kMaxNesting + 1, u'-') + QStringLiteral("1")).failure,
              ArithmeticFailure::TooDeep);
    EXPECT_TRUE(
        parseArithmetic(QString(kMaxNesting - 1, u'(') + QStringLiteral("1") + QString(kMaxNesting - 1, u')'))
            .ok());
}

// Where the own evaluator would skip, join or guess, it says so instead of
// giving a value (its plain results are the worked examples' third column).
TEST(FlatEvaluator, RefusesWhatItWouldMisread)
{
    const struct {
        const char *text;
        QString reason;
    } refused[] = {
        {"*3", missingNumberText()},  // 0 * 3
        {"3*--2", unclearSignText()}, // the second minus negates again
        {"1.2.3+1", twoPointsText()}, // digits up to the second point
        {"１２", unknownCharacterText(u'１')},
    };
    for (const auto &c : refused) {
        SCOPED_TRACE(c.text);
        const FallbackEvaluation r = evaluateFlat(QString::fromUtf8(c.text));
        EXPECT_EQ(r.escapedError, c.reason);
        EXPECT_TRUE(std::isfinite(r.value));
    }
    // The product is stored with 15 significant digits before it is used again.
    EXPECT_EQ(plainNumberText(evaluateFlat(QStringLiteral("1/3*3")).value),
              QStringLiteral("0.999999999999999"));
}

TEST(NumberTexts, PlainAndTwoDecimalForms)
{
    struct Case {
        double value;
        const char *plain;
        const char *twoDecimals;
    };
    const Case cases[] = {
        {0, "0", "0.00"},
        {1234.5, "1234.5", "1234.50"},
        {1.005, "1.005", "1.01"},
        {-0.004, "-0.004", "0.00"},
        {9.995, "9.995", "10.00"},
        {1e20, "100000000000000000000", "100000000000000000000.00"},
        {123456789012345678.0, "123456789012346000", "123456789012346000.00"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.plain);
        EXPECT_EQ(plainNumberText(c.value), QString::fromLatin1(c.plain));
        EXPECT_EQ(twoDecimalText(c.value), QString::fromLatin1(c.twoDecimals));
    }
}
