#pragma once

#include <QString>
#include <QStringList>

#include <unordered_map>

namespace zambrel::journal {

/// How deep a node sits, told by the length of its key: "T2026" (5),
/// "T2026-05" (8), "T2026-05-17" (11).
enum class NodeLevel { None, Year, Month, Day };

/// The key of the node for a date prefix: "T" + "yyyy", "yyyy-mm" or
/// "yyyy-mm-dd".
QString nodeKey(const QString &datePrefix);
/// The date prefix a key stands for: the key without its leading "T".
QString dateOfKey(const QString &key);
NodeLevel levelOfKey(const QString &key);

/// One node of the journal's tree of years, months and days.
struct JournalNode {
    QString key;
    QString text;         ///< "2026", "05" or "17"
    QString parentKey;    ///< empty for a year
    QStringList children; ///< keys, in date order
    /// A year's months or a month's days have been read from the ledger.
    /// Nodes added for today's page alone do not count as loaded.
    bool loaded = false;
    bool expanded = false;
};

/// The tree as plain data: nodes by key, each node's children kept in date
/// order (keys of one level compare as their dates do). Keys are unique.
/// Node pointers stay valid until clear().
class JournalTree {
public:
    void clear();
    bool isEmpty() const { return m_topLevel.isEmpty(); }
    int size() const { return int(m_nodes.size()); }

    /// True when a node has `key` (a key nobody has counts as absent).
    bool contains(const QString &key) const { return m_nodes.contains(key); }
    /// The node with `key`, or null.
    const JournalNode *node(const QString &key) const;
    JournalNode *node(const QString &key);
    const QStringList &topLevel() const { return m_topLevel; }
    /// The keys under `parentKey` (empty: the years).
    const QStringList &childrenOf(const QString &parentKey) const;

    /// Adds a node under `parentKey` (empty: top level) at its place in date
    /// order and returns that row. The parent must exist and the key must be
    /// new; otherwise nothing is added and -1 is returned.
    int add(const QString &key, const QString &text, const QString &parentKey);

private:
    std::unordered_map<QString, JournalNode> m_nodes;
    QStringList m_topLevel;
};

} // namespace zambrel::journal
