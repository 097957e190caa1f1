#include "error_report.h"

#include "base/message.h"
#include "base/status_line.h"
#include "store/db_error.h"

namespace zambrel::host {
namespace {

using base::MessageButtons;
using base::MessageIcon;
using store::DbError;
using store::ErrorKind;

void show(const QString &description, ErrorKind kind, ErrorRoad road)
{
    switch (road) {
    case ErrorRoad::Query:
        base::showMessage(description + QStringLiteral("\n\n无法查询。"));
        return;
    case ErrorRoad::ListQuery:
        base::showMessage(QStringLiteral("发生错误，错误信息为：") + DbError::kindText(kind) +
                              QLatin1Char('\n') + QStringLiteral("错误描述：") + description,
                          MessageButtons::Ok, MessageIcon::Critical, QStringLiteral("有错误发生"));
        base::showStatus(QStringLiteral("发生错误：") + DbError::kindText(kind) +
                             QStringLiteral("。错误描述：") + description,
                         1);
        return;
    case ErrorRoad::BatchWrite: {
        // The kind of failure is the title.
        const QString title = DbError::kindText(kind);
        // A full disk is not the input's fault: say that alone.
        if (kind == ErrorKind::DiskFull) {
            base::showMessage(description, MessageButtons::Ok, MessageIcon::Critical, title);
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
        base::showMessage(text, MessageButtons::Ok, MessageIcon::Critical, title);
        return;
    }
    case ErrorRoad::Statement:
        base::showMessage(description, MessageButtons::Ok, MessageIcon::Information);
        return;
    case ErrorRoad::MenuCommand:
        base::showMessage(description, MessageButtons::Ok, MessageIcon::None, QStringLiteral("出错了"));
        return;
    case ErrorRoad::ToolbarCommand:
        base::showMessage(description);
        return;
    case ErrorRoad::StartUp:
        base::showMessage(description, MessageButtons::Ok, MessageIcon::Critical, QStringLiteral("致命错误"));
        return;
    }
}

} // namespace

void reportError(const store::DbError &error, ErrorRoad road) noexcept
{
    try {
        show(error.description(), error.kind(), road);
    } catch (...) {
    }
}

void reportError(const std::exception &error, ErrorRoad road) noexcept
{
    if (const auto *dbError = dynamic_cast<const store::DbError *>(&error)) {
        reportError(*dbError, road);
        return;
    }
    try {
        show(QString::fromUtf8(error.what()), ErrorKind::Other, road);
    } catch (...) {
    }
}

RoutedError::RoutedError(std::exception_ptr cause, ErrorRoad road, const char *what)
    : std::runtime_error(what), m_cause(std::move(cause)), m_road(road)
{
}

void RoutedError::report() const noexcept
{
    try {
        std::rethrow_exception(m_cause);
    } catch (const std::exception &cause) {
        reportError(cause, m_road);
    } catch (...) {
    }
}

std::optional<ErrorRoad> runReported(ErrorRoad road, const std::function<void()> &action) noexcept
{
    try {
        action();
        return std::nullopt;
    } catch (const RoutedError &failure) {
        failure.report();
        return failure.road();
    } catch (const std::exception &failure) {
        reportError(failure, road);
        return road;
    }
}

} // namespace zambrel::host
