#include "error_report.h"

#include "db_error.h"
#include "message.h"

namespace zambrel::store {
namespace {

void show(const QString &description, ErrorKind kind, ErrorRoad road)
{
    switch (road) {
    case ErrorRoad::Query:
        showMessage(description + QStringLiteral("\n\n无法查询。"), vbOKOnly, {});
        return;
    case ErrorRoad::BatchWrite: {
        // The kind of failure is the title.
        const QString title = DbError::kindText(kind);
        // A full disk is not the input's fault: say that alone.
        if (kind == ErrorKind::DiskFull) {
            showMessage(description, vbCritical, title);
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
        showMessage(text, vbCritical, title);
        return;
    }
    case ErrorRoad::Statement:
        showMessage(description, vbInformation, {});
        return;
    case ErrorRoad::MenuCommand:
        showMessage(description, vbOKOnly, QStringLiteral("出错了"));
        return;
    case ErrorRoad::ToolbarCommand:
        showMessage(description, vbOKOnly, {});
        return;
    case ErrorRoad::StartUp:
        showMessage(description, vbCritical, QStringLiteral("致命错误"));
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
