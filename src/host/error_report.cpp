#include "error_report.h"

#include "base/message.h"
#include "store/db_error.h"

namespace zambrel::store {
namespace {

void show(const QString &description, ErrorKind kind, ErrorRoad road)
{
    switch (road) {
    case ErrorRoad::Query:
        base::showMessage(description + QStringLiteral("\n\n无法查询。"), base::vbOKOnly, {});
        return;
    case ErrorRoad::BatchWrite: {
        // The kind of failure is the title.
        const QString title = DbError::kindText(kind);
        // A full disk is not the input's fault: say that alone.
        if (kind == ErrorKind::DiskFull) {
            base::showMessage(description, base::vbCritical, title);
            return;
        }
        // The engine's own first line says where; the user needs the rest.
        QString text = description;
        const qsizetype carriageReturn = text.indexOf(QLatin1Char('\r'));
        if (carriageReturn >= 0)
            text = text.mid(carriageReturn + 1);
        text += QStringLiteral("\n\n无法更新数据，请检查输入的格式。");
        if (kind == ErrorKind::Constraint)
            text = QStringLiteral("数据唯一性受到影响\n") + text;
        base::showMessage(text, base::vbCritical, title);
        return;
    }
    case ErrorRoad::Statement:
        base::showMessage(description, base::vbInformation, {});
        return;
    case ErrorRoad::MenuCommand:
        base::showMessage(description, base::vbOKOnly, QStringLiteral("出错了"));
        return;
    case ErrorRoad::ToolbarCommand:
        base::showMessage(description, base::vbOKOnly, {});
        return;
    case ErrorRoad::StartUp:
        base::showMessage(description, base::vbCritical, QStringLiteral("致命错误"));
        return;
    }
}

} // namespace

void reportError(const DbError &error, ErrorRoad road) noexcept
{
    try {
        show(error.description(), error.kind(), road);
    } catch (...) {
    }
}

void reportError(const std::exception &error, ErrorRoad road) noexcept
{
    if (const auto *dbError = dynamic_cast<const DbError *>(&error)) {
        reportError(*dbError, road);
        return;
    }
    try {
        show(QString::fromUtf8(error.what()), ErrorKind::Other, road);
    } catch (...) {
    }
}

} // namespace zambrel::store
