#pragma once

#include <QLabel>
#include <QWidget>

namespace zambrel::skin {

/// Makes `label` the buddy of `list` and gives the list the label's text as
/// shown: a list takes no name from its label as a box does.
inline void nameListAfter(QWidget *list, QLabel *label)
{
    label->setBuddy(list);
    list->setAccessibleName(QString(label->text()).remove(u'&'));
}

} // namespace zambrel::skin
