#include "base/status_line.h"

#include <gtest/gtest.h>

using namespace zambrel::base;

namespace {

TEST(StatusLine, GoesToTheMainWindowWhileItHoldsTheWriter)
{
    QString status;
    showStatus(QStringLiteral("a:b"));
    int window = 0;
    setStatusWriter(&window,
                    [&status](const QString &text, int panel) { status = QString::number(panel) + text; });
    showStatus(QStringLiteral("准备就绪: 共 3 条"), 1);
    EXPECT_EQ(status, QStringLiteral("1准备就绪： 共 3 条"));
    // A window that closes after the next one opened leaves the new writer.
    int older = 0;
    releaseStatusWriter(&older);
    showStatus(QStringLiteral("x"), 2);
    EXPECT_EQ(status, QStringLiteral("2x"));
    releaseStatusWriter(&window);
    showStatus(QStringLiteral("y"));
    EXPECT_EQ(status, QStringLiteral("2x"));
}

} // namespace
