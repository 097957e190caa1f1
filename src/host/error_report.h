#pragma once

#include <exception>

namespace zambrel::store {

class DbError;

/// The roads on which a failure reaches the user; each shows it its own way.
enum class ErrorRoad {
    Query,      ///< a read: description + "无法查询。", OK, the program's name as title
    BatchWrite, ///< rows written in one batch: "无法更新数据，请检查输入的格式。" (a full disk:
                ///< its own text alone), critical, the kind of failure as title
    Statement,      ///< one statement run for the user: description, information style
    MenuCommand,    ///< a command of the month button's menu: description, OK, title "出错了"
    ToolbarCommand, ///< a toolbar command or a refresh: description, OK, the program's name
    StartUp,        ///< the main window's one-time set-up: description, critical, "致命错误"
};

/// Shows `error` through the message routine the way `road` asks. This is
/// what a user action's one catch calls. Never throws.
void reportError(const DbError &error, ErrorRoad road) noexcept;
/// The same for any other exception (its what() text as the description).
void reportError(const std::exception &error, ErrorRoad road) noexcept;

} // namespace zambrel::store
