#include "open_file_dialog.h"

#include "base/app_paths.h"

#include <QFileDialog>
#include <QStringList>

#include <utility>

namespace zambrel::store {
namespace {

OpenFileResponder &responder()
{
    static OpenFileResponder instance;
    return instance;
}

} // namespace

QString ledgerFileFilter()
{
    return QStringLiteral("账本文件(*.mdb)") + QChar(u'\0') + QStringLiteral("*.mdb") + QChar(u'\0');
}

QString qtFileFilter(const QString &pairs)
{
    const QStringList parts = pairs.split(QChar(u'\0'));
    QStringList filters;
    for (qsizetype index = 0; index + 1 < parts.size(); index += 2) {
        const QString description = parts[index].trimmed();
        const QString pattern = parts[index + 1].trimmed();
        if (pattern.isEmpty())
            continue;
        const QString named = QLatin1Char('(') + pattern + QLatin1Char(')');
        filters << (description.endsWith(named) ? description : description + QLatin1Char(' ') + named);
    }
    return filters.join(QStringLiteral(";;"));
}

OpenFileResponder setOpenFileResponder(OpenFileResponder replacement)
{
    return std::exchange(responder(), std::move(replacement));
}

QString openFileDialog(QWidget *owner, const QString &title, const QString &filter)
{
    if (responder())
        return responder()(owner, title, filter);
    // Qt's own dialog behaves the same on every platform and offscreen.
    QFileDialog dialog(owner, title, base::programFolder(), qtFileFilter(filter));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setOption(QFileDialog::ReadOnly);
    if (dialog.exec() != QDialog::Accepted)
        return {};
    const QStringList chosen = dialog.selectedFiles();
    if (chosen.isEmpty())
        return {};
    QString path = chosen.front();
    path.remove(QChar(u'\0'));
    return path.trimmed();
}

} // namespace zambrel::store
