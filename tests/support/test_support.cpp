#include "test_support.h"

#include "base/app_paths.h"
#include "store/connection.h"
#include "store/ledger_schema.h"
#include "store/record_set.h"

#include <QFile>

#include <stdexcept>

namespace zambrel::testkit {

ScriptedResponder::ScriptedResponder(base::MessageAnswer fallback) : m_fallback(fallback)
{
    m_previous = base::setMessageResponder([this](const base::MessageRequest &request) {
        m_shown.push_back(request);
        if (m_answers.empty())
            return m_fallback;
        const base::MessageAnswer reply = m_answers.front();
        m_answers.pop_front();
        return reply;
    });
}

ScriptedResponder::~ScriptedResponder()
{
    base::setMessageResponder(m_previous);
}

TempProgramFolder::TempProgramFolder()
{
    base::setProgramFolder(m_dir.path());
    base::setSettingsFile(m_dir.filePath(QStringLiteral("settings.ini")));
}

TempProgramFolder::~TempProgramFolder()
{
    base::setCurrentSkinPath({});
    base::setProgramFolder({});
    base::setSettingsFile({});
}

void damageTablePages(const QString &path, const QString &password, const QString &table)
{
    std::vector<qint64> pages;
    qint64 pageSize = 0;
    {
        store::Connection connection;
        connection.open(store::ledgerConnectionString(path, password));
        const auto roots = connection.execute(
            QStringLiteral("select rootpage from sqlite_master where tbl_name = '%1'").arg(table));
        for (; !roots->eof(); roots->moveNext())
            pages.push_back(roots->value(0).toLongLong());
        pageSize = connection.execute(QStringLiteral("pragma page_size"))->value(0).toLongLong();
    }
    QFile file(path);
    if (pages.empty() || !file.open(QIODevice::ReadWrite))
        throw std::runtime_error("no pages to damage");
    for (const qint64 page : pages) {
        // Page 1 holds the schema; damaging it would refuse the whole ledger.
        if (page < 2 || file.size() < page * pageSize || !file.seek((page - 1) * pageSize))
            throw std::runtime_error("page out of reach");
        // From the page's header on, so that a plain ledger notices too.
        file.write(QByteArray(pageSize / 2, '\x5a'));
    }
}

} // namespace zambrel::testkit
