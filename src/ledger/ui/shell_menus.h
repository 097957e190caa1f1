#pragma once

#include <QString>
#include <QStringList>

#include <vector>

namespace zambrel::ledger {

/// One entry of a toolbar button's drop-down menu.
struct MenuEntry {
    QString key;
    QString caption;
};

/// The month menu entry of a stored month: key "M" + month, caption month.
MenuEntry storedMonthEntry(const QString &month);

/// The skin menu's captions: the skin files (*.jss) of `folder` in name
/// order, each with ".jss" removed.
QStringList skinMenuCaptions(const QString &folder);

/// The skin file a skin menu caption stands for, in `folder`.
QString skinPathForCaption(const QString &folder, const QString &caption);

} // namespace zambrel::ledger
