#pragma once

#include "input/entry_form.h"

#include <QString>

namespace zambrel::ledger {

/// What the item commands need of the entry dialog: its form (fields, tags
/// and flags), its captions, and showing it modally. The entry window
/// provides it; the commands never touch widgets.
class ItemDialog {
public:
    virtual ~ItemDialog() = default;

    /// The dialog's logic; stays valid for the dialog's lifetime.
    virtual input::EntryForm &form() = 0;
    /// How the dialog looks a type name up (the type record set).
    virtual void setTypeLookup(input::TypeLookup lookup) = 0;
    /// The window caption and the caption bar's title.
    virtual void setCaptions(const QString &caption, const QString &title) = 0;
    /// Shows the form as it stands and returns once the dialog is hidden;
    /// true when OK passed every check.
    virtual bool showModal() = 0;
};

} // namespace zambrel::ledger
