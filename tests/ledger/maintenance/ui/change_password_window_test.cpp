// The change-password window driven as a person would, on a real ledger:
// keys into the three boxes, Enter, the buttons and the mnemonics.
#include "item_fixtures.h"
#include "widget_helpers.h"
#include "ledger/maintenance/ui/change_password_window.h"
#include "qstring_printer.h"
#include "skin/flat_button.h"
#include "store/ledger_schema.h"
#include "test_support.h"

#include <QTemporaryDir>
#include <QTimer>

#include <memory>

using namespace zambrel;
using ledger::ChangePasswordWindow;

namespace {

class PasswordWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        store::createLedger(path, QStringLiteral("old one"));
        books = std::make_unique<store::Ledger>(path, QStringLiteral("old one"));
        window = std::make_unique<ChangePasswordWindow>(*books);
        window->show();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }
    QLineEdit *box(int index) const { return window->passwordBoxes[size_t(index)]; }
    void fill(const QString &oldPassword, const QString &newPassword, const QString &confirmation)
    {
        testkit::retypeInto(box(0), oldPassword);
        testkit::retypeInto(box(1), newPassword);
        testkit::retypeInto(box(2), confirmation);
    }
    bool opensWith(const QString &password)
    {
        books.reset();
        return testkit::opensWith(path, password);
    }

    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("Zambrel.mdb"));
    std::unique_ptr<store::Ledger> books;
    std::unique_ptr<ChangePasswordWindow> window;
    testkit::ScriptedResponder responder;
};

TEST_F(PasswordWindow, EnterInAnyBoxChangesThePasswordAndHidesTheWindowEmpty)
{
    const QString next = QStringLiteral("新 密'码\"[1]");
    // A mismatch first keeps the window up for another try.
    fill(QStringLiteral("old one"), next, QStringLiteral("other"));
    QTest::keyClick(box(2), Qt::Key_Return);
    EXPECT_TRUE(window->isVisible());
    testkit::retypeInto(box(2), next);
    QTest::keyClick(box(0), Qt::Key_Return);
    ASSERT_EQ(responder.shown().size(), 2u);
    EXPECT_EQ(responder.shown()[0].text, QStringLiteral("新密码和确认密码不一致，请重新指定！"));
    EXPECT_EQ(responder.shown()[1].text, QStringLiteral("密码修改成功，请记住你的新密码！"));
    EXPECT_FALSE(window->isVisible());
    for (int index = 0; index < 3; ++index)
        EXPECT_TRUE(box(index)->text().isEmpty()) << "no password stays in a hidden window";
    EXPECT_FALSE(opensWith(QStringLiteral("old one")));
    EXPECT_TRUE(opensWith(next));
}

TEST_F(PasswordWindow, ShownModallyWithEmptyBoxesCancelHidesAndEmptyMeansNoPassword)
{
    testkit::retypeInto(box(0), QStringLiteral("left over"));
    window->hide();
    QTimer::singleShot(0, window.get(), [this] {
        EXPECT_TRUE(box(0)->text().isEmpty());
        QTest::keyClick(box(0), Qt::Key_Escape);
    });
    EXPECT_FALSE(window->showModal());
    EXPECT_TRUE(responder.shown().empty());

    QTimer::singleShot(0, window.get(), [this] {
        fill(QStringLiteral("old one"), QString(), QString());
        window->okButton->click();
    });
    EXPECT_TRUE(window->showModal());
    EXPECT_TRUE(opensWith(QString()));
}

} // namespace
