#pragma once

#include <QString>

#include <optional>

namespace zambrel::input {

/// What the month picker reports to its caller: the month chosen and whether
/// the window was left with OK. Kept between uses of the window, so OK
/// without a new choice repeats the previous one.
class MonthChoice {
public:
    /// The list row shown for a month stored as null.
    static QString nullRowText() { return QStringLiteral("NULL"); }

    /// The month chosen; empty when nothing was chosen or the null row was.
    QString month() const { return m_month; }
    /// True when the window was left with OK (or a double-click).
    bool isConfirmed() const { return m_confirmed; }

    /// A row was clicked (or reached with the arrow keys): its text becomes
    /// the month, the null row's text becomes empty text.
    void clickRow(const QString &rowText);
    /// A double-click on the list: with a row selected, that row is clicked
    /// and the choice confirmed; with none, nothing happens. Returns true
    /// when the window is to close.
    bool doubleClick(const std::optional<QString> &selectedRowText);
    /// OK: the choice stands.
    void confirm() { m_confirmed = true; }
    /// Cancel (or any other way out of the window): the choice is withdrawn.
    void cancel() { m_confirmed = false; }

private:
    QString m_month;
    bool m_confirmed = false;
};

} // namespace zambrel::input
