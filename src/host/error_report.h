#pragma once

#include <exception>
#include <functional>
#include <optional>
#include <stdexcept>
#include <utility>

namespace zambrel::store {
class DbError;
}

namespace zambrel::host {

/// The roads on which a failure reaches the user; each shows it its own way.
enum class ErrorRoad {
    Query,     ///< a read: description + "无法查询。", OK, the program's name as title
    ListQuery, ///< the rows of a list: the error number and description, critical,
               ///< "有错误发生" as title; the status line says it too
    BatchWrite, ///< rows written in one batch: "无法更新数据，请检查输入的格式。" (a full disk:
                ///< its own text alone), critical, the kind of failure as title
    Statement,      ///< one statement run for the user: description, information style
    MenuCommand,    ///< a command of the month button's menu: description, OK, title "出错了"
    ToolbarCommand, ///< a toolbar command or a refresh: description, OK, the program's name
    StartUp,        ///< the main window's one-time set-up: description, critical, "致命错误"
};

/// Shows `error` through the message routine the way `road` asks. Never
/// throws.
void reportError(const store::DbError &error, ErrorRoad road) noexcept;
/// The same for any other exception (its what() text as the description).
void reportError(const std::exception &error, ErrorRoad road) noexcept;

/// A failure that belongs on a road of its own rather than on the road of
/// the action it escapes from (a failed statement inside a toolbar
/// command). What it reports is its cause.
class RoutedError : public std::runtime_error {
public:
    RoutedError(std::exception_ptr cause, ErrorRoad road, const char *what);

    ErrorRoad road() const noexcept { return m_road; }
    /// Reports the cause on the road. Never throws.
    void report() const noexcept;

private:
    std::exception_ptr m_cause;
    ErrorRoad m_road;
};

/// Runs `step` and returns what it returns. A failure escaping it leaves as
/// a RoutedError on `road`; one that already has a road keeps it. Logic
/// says so where the road belongs to what failed; it reports nothing.
template <typename Step> decltype(auto) onRoad(ErrorRoad road, Step &&step)
{
    try {
        return std::forward<Step>(step)();
    } catch (const RoutedError &) {
        throw;
    } catch (const std::exception &error) {
        throw RoutedError(std::current_exception(), road, error.what());
    }
}

/// The one catch of a user action: runs `action`; a failure escaping it is
/// reported once, on its own road when it has one (RoutedError), else on
/// `road`. Returns the road it was reported on, nothing when nothing
/// failed.
std::optional<ErrorRoad> runReported(ErrorRoad road, const std::function<void()> &action) noexcept;

} // namespace zambrel::host
