#include "journal_tree.h"

#include <algorithm>

namespace zambrel::journal {

QString nodeKey(const QString &datePrefix)
{
    return QLatin1Char('T') + datePrefix;
}

QString dateOfKey(const QString &key)
{
    return key.startsWith(QLatin1Char('T')) ? key.mid(1) : key;
}

NodeLevel levelOfKey(const QString &key)
{
    switch (key.size()) {
    case 5:
        return NodeLevel::Year;
    case 8:
        return NodeLevel::Month;
    case 11:
        return NodeLevel::Day;
    default:
        return NodeLevel::None;
    }
}

void JournalTree::clear()
{
    m_nodes.clear();
    m_topLevel.clear();
}

const JournalNode *JournalTree::node(const QString &key) const
{
    const auto found = m_nodes.find(key);
    return found == m_nodes.end() ? nullptr : &found->second;
}

JournalNode *JournalTree::node(const QString &key)
{
    const auto found = m_nodes.find(key);
    return found == m_nodes.end() ? nullptr : &found->second;
}

const QStringList &JournalTree::childrenOf(const QString &parentKey) const
{
    static const QStringList none;
    if (parentKey.isEmpty())
        return m_topLevel;
    const JournalNode *parent = node(parentKey);
    return parent ? parent->children : none;
}

int JournalTree::add(const QString &key, const QString &text, const QString &parentKey)
{
    if (key.isEmpty() || contains(key))
        return -1;
    QStringList *siblings = &m_topLevel;
    if (!parentKey.isEmpty()) {
        JournalNode *parent = node(parentKey);
        if (!parent)
            return -1;
        siblings = &parent->children;
    }
    // Rows arrive in date order, so the place is nearly always the end.
    const auto place = std::upper_bound(siblings->begin(), siblings->end(), key);
    const int row = int(place - siblings->begin());
    siblings->insert(row, key);
    m_nodes.emplace(key, JournalNode{key, text, parentKey, {}, false, false});
    return row;
}

} // namespace zambrel::journal
