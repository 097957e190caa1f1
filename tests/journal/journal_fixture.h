#pragma once

// A real ledger in a temporary folder, a fixed clock (2026-05-15) and a
// scripted message responder, for the journal's tests.
#include "base/clock.h"
#include "store/ledger.h"
#include "store/ledger_schema.h"
#include "test_support.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>
#include <utility>

namespace zambrel::testkit {

class JournalFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        path = dir.filePath(QStringLiteral("books.mdb"));
        store::createLedger(path, QStringLiteral("pw"));
        ledger = std::make_unique<store::Ledger>(path, QStringLiteral("pw"));
        base::setClock([] { return QDateTime(QDate(2026, 5, 15), QTime(21, 5)); });
    }

    void TearDown() override { base::setClock({}); }

    /// Stores a page whose field `field` holds `text` (the others empty).
    void writePage(const QString &date, const QString &text, int field = 0)
    {
        store::JournalPage page;
        page.date = date;
        page.fields[std::size_t(field)] = text;
        ledger->saveJournalPage(page);
    }

    void writePages(std::initializer_list<std::pair<const char *, const char *>> pages)
    {
        for (const auto &[date, text] : pages)
            writePage(QString::fromUtf8(date), QString::fromUtf8(text));
    }

    /// Field `field` of the stored page of `date`; "<none>" without a page.
    QString storedText(const QString &date, int field = 0) const
    {
        const auto page = ledger->journalPage(date);
        return page ? page->fields[std::size_t(field)] : QStringLiteral("<none>");
    }

    QTemporaryDir dir;
    QString path;
    std::unique_ptr<store::Ledger> ledger;
    ScriptedResponder responder;
};

} // namespace zambrel::testkit
