#pragma once

// A real ledger in a temporary folder, a fixed clock (2026-05-15) and a
// scripted message responder, for the journal's tests.
#include "ledger_fixture.h"

#include "base/clock.h"

namespace zambrel::testkit {

class JournalFixture : public LedgerFixture {
protected:
    void SetUp() override
    {
        password = QStringLiteral("pw");
        make();
        base::setClock([] { return QDateTime(QDate(2026, 5, 15), QTime(21, 5)); });
    }
    void TearDown() override { base::setClock({}); }

    /// Stores a page whose field `field` holds `text` (the others empty).
    void writePage(const QString &date, const QString &text, int field = 0)
    {
        ledger->saveJournalPage(page(date, text, field));
    }

    void writePages(std::initializer_list<std::pair<const char *, const char *>> pages)
    {
        for (const auto &[date, text] : pages)
            writePage(QString::fromUtf8(date), QString::fromUtf8(text));
    }

    /// Field `field` of the stored page of `date`; "<none>" without a page.
    QString storedText(const QString &date, int field = 0) const
    {
        const auto stored = ledger->journalPage(date);
        return stored ? stored->fields[std::size_t(field)] : QStringLiteral("<none>");
    }

    ScriptedResponder responder;
};

} // namespace zambrel::testkit
