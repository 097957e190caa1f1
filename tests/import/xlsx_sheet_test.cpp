// The first sheet of a workbook, read from parts the test writes, and the
// limits that keep a hostile archive from exhausting memory.
#include "bill_files.h"

#include "import/xlsx_sheet.h"

#include <gtest/gtest.h>

using namespace zambrel::bills;
using namespace zambrel::bills::fixtures;

namespace {

const QByteArray kPackageRels =
    "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
    "<Relationship Id=\"rId1\" Type=\"http://x/officeDocument\" "
    "Target=\"xl/workbook.xml\"/></Relationships>";
const QByteArray kWorkbook =
    "<workbook xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\">"
    "<sheets><sheet name=\"a\" r:id=\"rId1\"/></sheets></workbook>";
const QByteArray kWorkbookRels = "<Relationships><Relationship Id=\"rId1\" Type=\"http://x/worksheet\" "
                                 "Target=\"worksheets/data.xml\"/></Relationships>";

QByteArray workbookWithSheet(const QByteArray &sheet, int level = -1)
{
    return zipOf({{QStringLiteral("_rels/.rels"), kPackageRels},
                  {QStringLiteral("xl/workbook.xml"), kWorkbook},
                  {QStringLiteral("xl/_rels/workbook.xml.rels"), kWorkbookRels},
                  {QStringLiteral("xl/worksheets/data.xml"), sheet}},
                 level);
}

TEST(XlsxSheetTest, CellsByReferenceInlineAndOutOfRange)
{
    const SheetRows read = readFirstSheet(workbookWithSheet(
        "<worksheet><sheetData>"
        "<row r=\"3\"><c r=\"B3\" t=\"inlineStr\"><is><t>右</t></is></c><c t=\"b\"><v>1</v></c>"
        "<c r=\"XFD3\" t=\"inlineStr\"><is><t>far</t></is></c><c r=\"D3\" t=\"s\"><v>9</v></c></row>"
        "<row r=\"4\"/>"
        "<row><c t=\"str\"><f>A1</f><v>formula</v></c><c t=\"e\"><v>#N/A</v></c></row>"
        "</sheetData></worksheet>"));
    ASSERT_TRUE(read.failure.isEmpty()) << read.failure.toStdString();
    ASSERT_EQ(read.rows.size(), 2u);
    EXPECT_EQ(read.rows[0].line, 3);
    EXPECT_EQ(read.rows[0].cells, QStringList({"", "右", "1", ""}));
    EXPECT_EQ(read.rows[1].line, 5);
    EXPECT_EQ(read.rows[1].cells, QStringList({"formula", "#N/A"}));
}

TEST(XlsxSheetTest, APartUnpackingBeyondTheLimitIsNotRead)
{
    // Compresses to a few kilobytes and unpacks to two megabytes.
    const QByteArray sheet =
        "<worksheet><sheetData>" + QByteArray(2 * 1024 * 1024, ' ') + "</sheetData></worksheet>";
    const QByteArray bomb = workbookWithSheet(sheet, 9);
    EXPECT_LT(bomb.size(), 64 * 1024);
    const SheetRows read = readFirstSheet(bomb, 1024 * 1024);
    EXPECT_TRUE(read.rows.empty());
    EXPECT_TRUE(read.failure.contains(QStringLiteral("too large"))) << read.failure.toStdString();
    EXPECT_TRUE(readFirstSheet(bomb, 4 * 1024 * 1024).failure.isEmpty());
}

TEST(XlsxSheetTest, ASheetFillingTooManyCellsIsNotRead)
{
    // Each row names only its last column and fills all of them: 36 bytes
    // of XML a row, well within the unpacked limit.
    QByteArray rows;
    const qint64 rowCount = kMaxXlsxCells / kMaxXlsxColumns + 1;
    for (qint64 row = 1; row <= rowCount; ++row)
        rows += "<row><c r=\"IV" + QByteArray::number(row) + "\"><v>1</v></c></row>";
    const SheetRows read =
        readFirstSheet(workbookWithSheet("<worksheet><sheetData>" + rows + "</sheetData></worksheet>"));
    EXPECT_TRUE(read.rows.empty());
    EXPECT_TRUE(read.failure.contains(QStringLiteral("too many cells"))) << read.failure.toStdString();
}

TEST(XlsxSheetTest, DamagedOrIncompleteWorkbooksFailWithAReason)
{
    struct Case {
        QByteArray bytes;
        const char *failure;
    };
    const Case cases[] = {
        {QByteArray("PK\x03\x04 no archive follows", 22), "Not a readable XLSX file"},
        {zipOf({{QStringLiteral("readme.txt"), "hello"}}), "No workbook in the XLSX file"},
        {zipOf({{QStringLiteral("xl/workbook.xml"), kWorkbook}}), "No workbook in the XLSX file"},
        {zipOf({{QStringLiteral("xl/workbook.xml"), "<workbook/>"},
                {QStringLiteral("xl/_rels/workbook.xml.rels"), kWorkbookRels}}),
         "No sheet in the XLSX file"},
        {workbookWithSheet("<worksheet><sheetData><row><c>"), "The sheet's XML is damaged"},
    };
    for (const Case &c : cases) {
        const SheetRows read = readFirstSheet(c.bytes);
        EXPECT_TRUE(read.failure.contains(QString::fromUtf8(c.failure))) << read.failure.toStdString();
        EXPECT_TRUE(read.rows.empty());
    }
    EXPECT_TRUE(looksLikeZip(xlsxWorkbook({{QStringLiteral("x")}})));
    EXPECT_FALSE(looksLikeZip("交易时间"));
}

} // namespace
