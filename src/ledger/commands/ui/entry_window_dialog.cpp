#include "entry_window_dialog.h"

#include "input/ui/entry_dialog.h"

namespace zambrel::ledger {

EntryWindowDialog::EntryWindowDialog(QWidget *parent, std::function<QStringList()> typeList,
                                     std::function<void(input::EntryDialog &)> created)
    : m_parent(parent), m_typeList(std::move(typeList)), m_created(std::move(created))
{
}

EntryWindowDialog::~EntryWindowDialog() = default;

input::EntryDialog &EntryWindowDialog::window()
{
    if (!m_window) {
        // A parent deletes its window itself; without one it is ours.
        if (m_parent) {
            m_window = new input::EntryDialog(m_parent);
        } else {
            m_owned = std::make_unique<input::EntryDialog>();
            m_window = m_owned.get();
        }
        if (m_created)
            m_created(*m_window);
    }
    return *m_window;
}

input::EntryForm &EntryWindowDialog::form()
{
    return window().form();
}

void EntryWindowDialog::setTypeLookup(input::TypeLookup lookup)
{
    window().setTypeLookup(std::move(lookup));
}

void EntryWindowDialog::setCaptions(const QString &caption, const QString &title)
{
    window().setCaptions(caption, title);
}

bool EntryWindowDialog::showModal()
{
    if (m_typeList)
        window().setTypeList(m_typeList());
    return window().showModal();
}

} // namespace zambrel::ledger
