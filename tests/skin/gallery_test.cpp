#include "skin_fixtures.h"

#include "base/app_paths.h"
#include "skin/apply_skin.h"
#include "skin/balloon_tip.h"
#include "skin/caption_bar.h"
#include "skin/flat_button.h"
#include "skin/message_box.h"
#include "skin/skin_cache.h"
#include "skin/skinned_window.h"

#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QTest>

#include <gtest/gtest.h>

using namespace zambrel;
using namespace zambrel::skin;

namespace {

QImage sampleWindow(const QString &skinPath)
{
    SkinnedWindow window;
    window.setWindowTitle(QStringLiteral("家庭账本 Zambrel — 2024-05"));
    window.captionBar->setOnTopButtonShown(true);
    window.resize(460, 190);
    auto *area = window.contentArea();
    (new QLabel(QStringLiteral("收入 Profit：12,345.00"), area))->setGeometry(16, 14, 300, 22);
    (new QCheckBox(QStringLiteral("资产 Assets"), area))->setGeometry(16, 42, 200, 22);
    const char *captions[] = {"确认 Conform", "悬停 Hover", "按下 Pressed", "很长的按钮标题会自动换行 wraps"};
    FlatButton *buttons[4];
    for (int i = 0; i < 4; ++i) {
        buttons[i] = new FlatButton(QString::fromUtf8(captions[i]), area);
        buttons[i]->setGeometry(16 + i * 106, 80, 96, 44);
    }
    buttons[0]->setEnabled(false);
    applySkin(&window, skinPath);
    window.show();
    QTest::mouseMove(buttons[1], QPoint(10, 10));
    QTest::mousePress(buttons[2], Qt::LeftButton, {}, QPoint(10, 10));
    QTest::mouseMove(window.captionBar,
                     captionButtonRect(window.captionBar->buttonMetrics(), CloseButton).center());
    QImage image = window.grab().toImage();
    QTest::mouseRelease(buttons[2], Qt::LeftButton, {}, QPoint(200, 10));
    return image;
}

QImage messageBoxPicture(const QString &text, base::MessageButtons buttons, base::MessageIcon icon)
{
    MessageBox box;
    box.setButtons(buttons, icon);
    box.setMessage(text);
    box.show();
    return box.grab().toImage();
}

QImage tipPicture()
{
    QLabel control(QStringLiteral("工资"));
    control.show();
    BalloonTip tip;
    tip.attach(&control, QStringLiteral("五月工资|含加班费 1,200.00"), 65, false, 1, QStringLiteral("备注"),
               kSysButtonText, kSysInfoBackground, -1, 6000);
    tip.showTip();
    return tip.tipWindow()->grab().toImage();
}

} // namespace

// Pictures go to ZAMBREL_GALLERY_DIR when set, to be looked at.
TEST(SkinGallery, EveryShippedSkinDrawsEveryPiece)
{
    const QString folder = QString::fromLocal8Bit(qgetenv("ZAMBREL_GALLERY_DIR"));
    const QStringList skins = skin::testing::shippedSkins();
    ASSERT_GE(skins.size(), 3);
    for (const QString &path : skins) {
        base::setCurrentSkinPath(path);
        const QImage pictures[] = {
            sampleWindow(path),
            messageBoxPicture(QStringLiteral("是否退出 Are you sure exit？"), base::MessageButtons::YesNo,
                              base::MessageIcon::Question),
            messageBoxPicture(
                QStringLiteral("无法更新数据，请检查输入的格式。\n\n数据唯一性受到影响：该月份已有"
                               "同名项目，请换一个名称后再保存。"),
                base::MessageButtons::Ok, base::MessageIcon::Critical),
            tipPicture()};
        // The caption bar is drawn from the skin, not left blank.
        EXPECT_EQ(pictures[0].pixelColor(200, 1).rgb(),
                  readSkin(path)->picture("TOPMID").pixelColor(0, 1).rgb())
            << qPrintable(path);
        for (int i = 0; i < 4; ++i) {
            EXPECT_FALSE(pictures[i].isNull());
            if (!folder.isEmpty() && QDir().mkpath(folder))
                pictures[i].save(
                    QStringLiteral("%1/%2_%3.png").arg(folder, QFileInfo(path).completeBaseName()).arg(i));
        }
    }
    base::setCurrentSkinPath({});
}
