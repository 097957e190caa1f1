#include "store/db_error.h"
#include "store/jet_sql.h"

#include <gtest/gtest.h>

using namespace zambrel::store;

namespace {

struct Translation {
    const char *jet;
    const char *engine;
};

TEST(JetSqlTranslate, RewritesOnlyOutsideLiterals)
{
    const Translation cases[] = {
        {"SELECT distinct top 24  months from asset order by months desc;",
         "SELECT distinct months from asset order by months desc LIMIT 24;"},
        {"SELECT top 24 months,SUM([payPermonth]) AS T  FROM [Asset] group by months order by months DESC",
         "SELECT months,SUM([payPermonth]) AS T  FROM [Asset] group by months order by months DESC LIMIT 24"},
        {"delete * from asset where code=5", "delete from asset where code=5"},
        {"SELECT  @@Identity  as   myid     from    asset", "SELECT  last_insert_rowid()  as   myid     "},
        // A sub-select gets its own limit, inside its parentheses.
        {"select * from a where x in (select top 2 y from b order by y)",
         "select * from a where x in (select y from b order by y LIMIT 2)"},
        // Literals, bracketed and quoted names pass untouched.
        {"select * from asset where memo='select top 3 @@identity delete * from'",
         "select * from asset where memo='select top 3 @@identity delete * from'"},
        {"select [top 3] from asset where name='it''s top 5'",
         "select [top 3] from asset where name='it''s top 5'"},
        {"update t set a='unterminated top 1", "update t set a='unterminated top 1"},
    };
    for (const auto &c : cases)
        // Runs of blanks outside literals do not matter to the engine.
        EXPECT_EQ(jet::translate(QString::fromUtf8(c.jet)).simplified().toStdString(),
                  QString::fromUtf8(c.engine).simplified().toStdString());
}

TEST(JetSqlTranslate, TokensRebuildTheText)
{
    const QString sql = QStringLiteral("select [a]]b], \"q\"\"x\", 'it''s', @@x, 1.5e3 from t;--");
    QString joined;
    for (const auto &token : jet::tokenize(sql))
        joined += token.text;
    EXPECT_EQ(joined, sql);
}

TEST(JetSqlTranslate, BaseTable)
{
    EXPECT_EQ(jet::baseTable(u"select * from asset where 1=2"), QStringLiteral("asset"));
    EXPECT_EQ(jet::baseTable(u"select (select max(x) from b) from [Asset Type] t"),
              QStringLiteral("Asset Type"));
    EXPECT_EQ(jet::baseTable(u"select 1"), QString());
}

TEST(JetSqlPassword, ParsesWordsBracketsAndNull)
{
    auto change = jet::parsePasswordChange(u"Alter   Database   password    abc NULL");
    ASSERT_TRUE(change);
    EXPECT_EQ(change->newPassword, QStringLiteral("abc"));
    EXPECT_EQ(change->oldPassword, QString());

    change = jet::parsePasswordChange(u"alter database password [my pass's]]x] [o\"ld];");
    ASSERT_TRUE(change);
    EXPECT_EQ(change->newPassword, QStringLiteral("my pass's]x"));
    EXPECT_EQ(change->oldPassword, QStringLiteral("o\"ld"));

    change = jet::parsePasswordChange(u"ALTER DATABASE PASSWORD null 密码");
    ASSERT_TRUE(change);
    EXPECT_EQ(change->newPassword, QString());
    EXPECT_EQ(change->oldPassword, QStringLiteral("密码"));

    EXPECT_FALSE(jet::parsePasswordChange(u"select * from asset"));
    for (const char16_t *bad : {u"alter database password", u"alter database password a",
                                u"alter database password a b c", u"alter database owner a b"}) {
        try {
            jet::parsePasswordChange(bad);
            ADD_FAILURE() << QString::fromUtf16(bad).toStdString();
        } catch (const DbError &error) {
            EXPECT_EQ(error.number(), kErrSyntax);
        }
    }
}

struct LikeCase {
    const char16_t *pattern;
    const char16_t *text;
    bool matches;
};

TEST(JetLike, WildcardsClassesAndCase)
{
    // clang-format off
    const LikeCase cases[] = {
        {u"1[0-1][0-1][0-1]", u"1000", true}, {u"1[0-1][0-1][0-1]", u"0100", false},
        {u"[0-1][0-1]1[0-1]", u"0011", true}, {u"[0-1][0-1]1[0-1]", u"0012", false},
        {u"[0-1][0-1]1[0-1]", u"00110", false}, {u"[!0]%", u"1abc", true}, {u"[!0]%", u"0abc", false},
        {u"%股票%", u"港股股票A", true}, {u"%股票%", u"股利", false}, {u"2026-0_", u"2026-03", true},
        {u"2026%", u"2026-03-05", true}, {u"2026%", u"2025-03-05", false}, {u"abc", u"ABC", true},
        {u"ÄBC%", u"äbcd", true},
        {u"a_c", u"a😀c", true}, // one character, even outside the BMP
        {u"%a%b%", u"xxaxxbxx", true}, {u"%a%b", u"xxaxxbxxc", false},
        {u"[ab", u"[ab", true}, // an unclosed class is literal text
        {u"", u"", true}, {u"%", u"", true}, {u"_", u"", false},
    };
    // clang-format on
    for (const auto &c : cases)
        EXPECT_EQ(jet::like(QString::fromUtf16(c.pattern), QString::fromUtf16(c.text)), c.matches)
            << QString::fromUtf16(c.pattern).toStdString() << " ~ "
            << QString::fromUtf16(c.text).toStdString();
    EXPECT_TRUE(jet::like(u"10!%", u"10%", QLatin1Char('!')));
    EXPECT_FALSE(jet::like(u"10!%", u"105", QLatin1Char('!')));
}

} // namespace
