#pragma once

#include "ledger/commands/item_dialog.h"

#include <QPointer>
#include <QStringList>
#include <QWidget>

#include <functional>
#include <memory>

namespace zambrel::input {
class EntryDialog;
}

namespace zambrel::ledger {

/// The item commands' dialog as the entry window: creates the window on
/// first use and keeps it, hidden, between uses.
class EntryWindowDialog : public ItemDialog {
public:
    /// `typeList` gives the type combo's list before each showing (may be
    /// empty); `created` is told once when the window has been made.
    explicit EntryWindowDialog(QWidget *parent = nullptr, std::function<QStringList()> typeList = {},
                               std::function<void(input::EntryDialog &)> created = {});
    ~EntryWindowDialog() override;
    EntryWindowDialog(const EntryWindowDialog &) = delete;
    EntryWindowDialog &operator=(const EntryWindowDialog &) = delete;

    /// The window, made on first call.
    input::EntryDialog &window();

    input::EntryForm &form() override;
    void setTypeLookup(input::TypeLookup lookup) override;
    void setCaptions(const QString &caption, const QString &title) override;
    bool showModal() override;

private:
    QWidget *m_parent;
    std::function<QStringList()> m_typeList;
    std::function<void(input::EntryDialog &)> m_created;
    QPointer<input::EntryDialog> m_window;
    std::unique_ptr<input::EntryDialog> m_owned; // only without a parent
};

} // namespace zambrel::ledger
