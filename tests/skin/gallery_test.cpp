#include "skin_fixtures.h"

#include "skin/flat_button.h"
#include "skin/js_caption.h"
#include "skin/msg_box.h"
#include "skin/skin_window.h"
#include "skin/skinned_window.h"
#include "skin/tool_tip.h"
#include "store/mod_db.h"

#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QPainter>
#include <QTest>

#include <gtest/gtest.h>

using namespace zambrel;
using namespace zambrel::skin;

namespace {

// Pictures go to ZAMBREL_GALLERY_DIR when set (to look at them), else to a
// temporary folder.
QString galleryFolder(const QTemporaryDir &fallback)
{
    const QString wanted = QString::fromLocal8Bit(qgetenv("ZAMBREL_GALLERY_DIR"));
    if (wanted.isEmpty())
        return fallback.path();
    QDir().mkpath(wanted);
    return wanted;
}

QImage sampleWindow(const QString &skinPath)
{
    SkinnedWindow window;
    window.setWindowTitle(QStringLiteral("家庭账本 Zambrel — 2024-05"));
    window.JSCAPTION1->setSHOWONTOP(true);
    window.resize(460, 230);
    auto *area = window.contentArea();
    auto *label = new QLabel(QStringLiteral("收入 Profit：12,345.00"), area);
    label->setGeometry(16, 14, 300, 22);
    auto *check = new QCheckBox(QStringLiteral("资产 Assets"), area);
    check->setGeometry(16, 42, 200, 22);
    const char *captions[] = {"确认 Conform", "悬停 Hover", "按下 Pressed", "禁用 Disabled"};
    FlatButton *buttons[4];
    for (int i = 0; i < 4; ++i) {
        buttons[i] = new FlatButton(QString::fromUtf8(captions[i]), area);
        buttons[i]->setGeometry(16 + i * 106, 80, 96, 28);
    }
    auto *wrapped = new FlatButton(QStringLiteral("很长的按钮标题会自动换行 wraps"), area);
    wrapped->setGeometry(16, 120, 120, 44);
    buttons[3]->setEnabled(false);
    SkinWindow(&window, skinPath);
    window.show();
    QTest::mouseMove(buttons[1], QPoint(10, 10));
    QTest::mouseMove(buttons[2], QPoint(10, 10));
    QTest::mousePress(buttons[2], Qt::LeftButton, {}, QPoint(10, 10));
    const QRect close = captionButtonRect(window.JSCAPTION1->buttonMetrics(), CloseButton);
    QTest::mouseMove(window.JSCAPTION1, close.center());
    QImage image = window.grab().toImage();
    QTest::mouseRelease(buttons[2], Qt::LeftButton, {}, QPoint(200, 10));
    return image;
}

QImage messageBoxPicture(const QString &text, int style)
{
    frmMsgBox box;
    box.setVbButton(style);
    box.setWindowTitle(QStringLiteral("Zambrel"));
    box.setMsg(text);
    box.show();
    QImage image = box.grab().toImage();
    box.hide();
    return image;
}

QImage tipPicture()
{
    QLabel control(QStringLiteral("工资"));
    control.show();
    cToolTip tip;
    tip.Create(&control, QStringLiteral("五月工资|含加班费 1,200.00"), 65, false, 1, QStringLiteral("备注"),
               kSysButtonText, kSysInfoBackground, -1, 6000);
    tip.SubstituteFont(QStringLiteral("宋体"), 11, false, false);
    tip.showTip();
    return tip.tipWindow()->grab().toImage();
}

QImage sheet(const std::vector<QImage> &pictures)
{
    int width = 0;
    int height = 0;
    for (const QImage &p : pictures) {
        width = std::max(width, p.width());
        height += p.height() + 12;
    }
    QImage out(width + 24, height + 12, QImage::Format_ARGB32);
    out.fill(QColor(236, 236, 236));
    QPainter painter(&out);
    int y = 12;
    for (const QImage &p : pictures) {
        painter.drawImage(12, y, p);
        y += p.height() + 12;
    }
    return out;
}

} // namespace

TEST(SkinGallery, EveryShippedSkinDrawsEveryPiece)
{
    QTemporaryDir fallback;
    const QString folder = galleryFolder(fallback);
    const QStringList skins = skin::testing::shippedSkins();
    ASSERT_GE(skins.size(), 3);
    for (const QString &path : skins) {
        store::modDB::setSkinPath(path);
        const QImage window = sampleWindow(path);
        const auto bag = readSkin(path);
        // The caption bar is drawn from the skin, not left blank.
        EXPECT_EQ(window.pixelColor(200, 1).rgb(), bag->picture("TOPMID").pixelColor(0, 1).rgb())
            << qPrintable(path);
        const QImage picture =
            sheet({window, messageBoxPicture(QStringLiteral("是否退出 Are you sure exit？"), 36),
                   messageBoxPicture(QStringLiteral("无法更新数据，请检查输入的格式。\n\n"
                                                    "数据唯一性受到影响：该月份已有同名项目，"
                                                    "请换一个名称后再保存。"),
                                     16),
                   tipPicture()});
        const QString out =
            folder + QLatin1Char('/') + QFileInfo(path).completeBaseName() + QStringLiteral(".png");
        EXPECT_TRUE(picture.save(out)) << qPrintable(out);
    }
    store::modDB::setSkinPath({});
}
