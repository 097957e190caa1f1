#pragma once

#include "base/message.h"
#include "test_ledger.h"

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

/// A tmpfs of `size` mounted on a temporary folder for the test's lifetime
/// (root only; see mounted()).
class SmallDisk {
public:
    explicit SmallDisk(const char *size);
    ~SmallDisk();
    SmallDisk(const SmallDisk &) = delete;
    SmallDisk &operator=(const SmallDisk &) = delete;

    bool mounted() const { return m_mounted; }
    /// Why it could not be mounted, in the system's words.
    QString why() const { return m_why; }
    QString file(const QString &name) const { return m_dir.filePath(name); }

    /// Writes a filler file until the disk is full; makeRoom() removes it.
    void fill();
    void makeRoom();
    /// Mounts it again, read-only. Returns false when that fails.
    bool makeReadOnly();

private:
    QTemporaryDir m_dir;
    bool m_mounted = false;
    QString m_why;
};

} // namespace zambrel::testkit
