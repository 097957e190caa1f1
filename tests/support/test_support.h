#pragma once

#include "base/message.h"

#include <QString>
#include <QTemporaryDir>

#include <deque>
#include <vector>

namespace zambrel::testkit {

/// Answers the message routine without a person and records what was shown.
/// Answers are taken from the queue in order; when it runs dry, `fallback`.
class ScriptedResponder {
public:
    explicit ScriptedResponder(base::MessageAnswer fallback = base::MessageAnswer::No);
    ~ScriptedResponder();
    ScriptedResponder(const ScriptedResponder &) = delete;
    ScriptedResponder &operator=(const ScriptedResponder &) = delete;

    void answer(base::MessageAnswer reply) { m_answers.push_back(reply); }
    const std::vector<base::MessageRequest> &shown() const { return m_shown; }
    void clear() { m_shown.clear(); }

private:
    std::deque<base::MessageAnswer> m_answers;
    std::vector<base::MessageRequest> m_shown;
    base::MessageAnswer m_fallback;
    base::MessagePresenter m_previous;
};

/// A temporary folder used as the program folder and settings file for one
/// test; restores the previous overrides and program-wide values on exit.
class TempProgramFolder {
public:
    TempProgramFolder();
    ~TempProgramFolder();
    QString path() const { return m_dir.path(); }
    QString file(const QString &name) const { return m_dir.filePath(name); }

private:
    QTemporaryDir m_dir;
};

/// Overwrites the first half of the pages that hold `table` and its indexes, as a
/// failing disk would: the ledger still opens, but reading or writing that
/// table fails. The pages must not be in use (no ledger open on `path`).
void damageTablePages(const QString &path, const QString &password, const QString &table);

} // namespace zambrel::testkit
