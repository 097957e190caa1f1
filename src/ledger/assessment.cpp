#include "ledger/assessment.h"

#include "base/number_format.h"

#include <cfenv>
#include <cmath>

namespace zambrel::ledger {

using base::formatPicture;

QString wholePercent(double ratio)
{
    // A 16-bit whole number would overflow above 32767 % (a large loan
    // against small assets); a double holds any rounded ratio exactly.
    if (!std::isfinite(ratio))
        return base::errorMark();
    const int previous = std::fegetround();
    std::fesetround(FE_TONEAREST);
    const double rounded = std::nearbyint(ratio * 100) + 0.0; // + 0.0 turns -0 into 0
    std::fesetround(previous);
    return QString::number(rounded, 'f', 0);
}

QString shownAdvice(const QString &advice)
{
    QString text = advice;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return text.trimmed();
}

Assessment assessMonth(const AssessmentFigures &f)
{
    const QString crlf = QStringLiteral("\r\n");
    Assessment out;
    const double I = f.income;
    const double P = f.expenditure;
    const double S = f.salary;

    if (I < P)
        out.advice = QStringLiteral("你的支出太大了，省着点。") + crlf;
    out.statusLine =
        QStringLiteral("月现金收支为：") + formatPicture(I - P, u"#,###.00") + QStringLiteral(" 元。");
    if (I != 0)
        out.statusLine +=
            QStringLiteral("支出/收入：") + formatPicture(P / I * 100, u"0.0") + QStringLiteral("% ");
    if (I - S < S)
        out.advice += QStringLiteral("被动收入: ") + formatPicture(I - S, u"#,#00.00") +
                      QStringLiteral(" 元 ，有机会就增加工资外的收入。") + crlf;
    if (I > 0) {
        const double r = P / I;
        if (r < 0.3 && S < 10000)
            out.advice += QStringLiteral("你的支出比为：") + wholePercent(r) +
                          QStringLiteral("% 也太少了，不会是苦行僧吧？^_^");
        else if (r > 0.7)
            out.advice += QStringLiteral("你的支出比为：") + wholePercent(r) +
                          QStringLiteral("% 也太多了，不会要做月关族吧？^_^");
    }

    const double A = f.assets;
    const double D = f.debts;
    out.statusLine += QStringLiteral("月资产增长：") + formatPicture(A - f.previousAssets, u"#,#00.00") +
                      QStringLiteral("元 ");
    if (A != 0) {
        const double g = (A - f.previousAssets) * 100 / A;
        out.statusLine += QStringLiteral("资产增长率：") + formatPicture(g, u"#00.0") + QStringLiteral(" % ");
        if (std::isfinite(g) && g < 0)
            out.advice += QStringLiteral(" 资产为负增长，小心啊！！");
        const QString k = wholePercent(D / A);
        if (D / A > 0.6)
            out.advice += QStringLiteral("负债率：") + k + QStringLiteral("% 太多了，会很吃力的。") + crlf;
        out.statusLine += QStringLiteral("资产负债率为") + k + QStringLiteral("%");
    }

    int unreadable = f.unreadableAmounts;
    for (const double figure : {I, P, S, A, D, f.previousAssets})
        unreadable += std::isfinite(figure) ? 0 : 1;
    if (unreadable > 0) {
        // Figures without those amounts are no verdict on the month.
        out.statusLine = QStringLiteral("%1 个金额有错误，未计入合计。").arg(unreadable) + out.statusLine;
        out.advice =
            QStringLiteral("有 %1 个金额不是有效的数字（显示为 %2），没有计入合计，请改正后再看评估。")
                .arg(unreadable)
                .arg(base::errorMark()) +
            crlf + out.advice;
    }

    if (out.advice.isEmpty())
        out.advice =
            S > 0 ? QStringLiteral("很好！你做的很好，财务情况很健康，保持住进入快车道！")
                  : QStringLiteral("你没有工资收入！无法评估你的财务情况，一般负债率在60％以下是可以接受！");
    return out;
}

} // namespace zambrel::ledger
