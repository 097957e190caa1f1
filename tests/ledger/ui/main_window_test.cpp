#include "item_fixtures.h"
#include "main_window_fixture.h"

#include "app/feature_list.h"
#include "base/app_paths.h"
#include "base/message.h"
#include "host/feature_host.h"
#include "skin/caption_bar.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QHash>
#include <QImage>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

using namespace zambrel;
using testkit::itemRows;

namespace {

QStringList captions(const QMenu *menu)
{
    QStringList texts;
    for (const QAction *action : menu->actions())
        texts << action->text();
    return texts;
}

// The strongest difference in brightness between a button's caption (the
// lower half, under its picture) and the most common colour there, as the
// window shows it.
int captionContrast(QWidget *window, QToolButton *toolButton)
{
    const QImage picture = window->grab().toImage();
    const QRect whole(toolButton->mapTo(window, QPoint(0, 0)), toolButton->size());
    QHash<QRgb, int> counts;
    for (int y = whole.center().y(); y <= whole.bottom(); ++y)
        for (int x = whole.left(); x <= whole.right(); ++x)
            ++counts[picture.pixel(x, y)];
    const QRgb surface = std::max_element(counts.cbegin(), counts.cend()).key();
    int contrast = 0;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it)
        contrast = qMax(contrast, qAbs(qGray(it.key()) - qGray(surface)));
    return contrast;
}

} // namespace

TEST(MainWindow, ChoosingAMonthReloadsItEvenWhenItIsTheCurrentOne)
{
    testkit::WindowFixture fixture;
    testkit::writeSampleMonth(QStringLiteral("2026-04"));
    testkit::writeSampleMonth(QStringLiteral("2026-05"));
    ledger::MainWindow &window = fixture.open();
    const int incomeItems = itemRows(window.incomePanel);

    // A change behind the view shows once the current month is chosen again.
    testkit::addItems(window.ledger(), QStringLiteral("2026-05"), testkit::manyItems(1));
    const QList<QAction *> months = window.monthMenu()->actions();
    ASSERT_EQ(captions(window.monthMenu()), (QStringList{"2026-05", "2026-04"}));
    months[0]->trigger();
    EXPECT_EQ(itemRows(window.incomePanel), incomeItems + 1);
    // A click or key queued meanwhile runs after the command, never inside
    // it, where it could close the window or switch the ledger under it.
    bool queuedRan = false;
    QMetaObject::invokeMethod(&window, [&queuedRan] { queuedRan = true; }, Qt::QueuedConnection);
    months[1]->trigger();
    EXPECT_FALSE(queuedRan);
    QCoreApplication::processEvents();
    EXPECT_TRUE(queuedRan);
    EXPECT_EQ(window.currentMonth(), QStringLiteral("2026-04"));
    EXPECT_EQ(window.button(QStringLiteral("refresh"))->text(), QStringLiteral("2026-04"));
    EXPECT_EQ(itemRows(window.incomePanel), incomeItems);
}

TEST(MainWindow, NewMonthAtStartUpIsCarriedForwardOnlyWhenTheAnswerIsYes)
{
    for (const base::MessageAnswer answer : {base::MessageAnswer::Yes, base::MessageAnswer::No}) {
        testkit::WindowFixture fixture(QDate(2026, 6, 2));
        testkit::writeSampleMonth(QStringLiteral("2026-05"));
        // While the question is up the window is disabled.
        bool enabledWhileAsking = true;
        const base::MessagePresenter scripted =
            base::setMessageResponder([&](const base::MessageRequest &request) {
                for (QWidget *shown : QApplication::topLevelWidgets()) {
                    if (auto *asking = qobject_cast<ledger::MainWindow *>(shown))
                        enabledWhileAsking = asking->isEnabled();
                }
                EXPECT_TRUE(request.text.contains(QStringLiteral("是否要月结")));
                return answer;
            });
        ledger::MainWindow &window = fixture.open();
        base::setMessageResponder(scripted);
        EXPECT_FALSE(enabledWhileAsking);
        EXPECT_EQ(window.currentMonth(), QStringLiteral("2026-06"));
        const bool carried = answer == base::MessageAnswer::Yes;
        EXPECT_EQ(itemRows(window.incomePanel) > 0, carried);
        EXPECT_TRUE(window.isEnabled());
    }
}

// A damaged skin in the settings once left every window black on black
// without a caption bar; now the window wears a shipped skin and the status
// line names the one that could not be read.
TEST(MainWindow, ADamagedSkinIsReplacedAndTheStatusLineSaysWhichOne)
{
    testkit::WindowFixture fixture;
    const QString damaged = fixture.folder.file(QStringLiteral("damaged.jss"));
    QFile file(damaged);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    const QByteArray shipped = testkit::bytesOf(base::defaultSkinPath());
    ASSERT_FALSE(shipped.isEmpty());
    file.write(shipped.left(shipped.size() / 3)); // cut short
    file.close();
    base::setCurrentSkinPath(damaged);
    const QString says = QStringLiteral("无法读取皮肤 Cannot read the skin： ") + damaged;

    ledger::MainWindow &window = fixture.open();
    EXPECT_EQ(window.captionBar->skinPath(), base::defaultSkinPath());
    EXPECT_GT(window.captionBar->barHeight(), 0);
    window.show(); // the month's own status comes first while the window opens
    EXPECT_EQ(window.statusPanelText(1), says);
    window.refresh();
    EXPECT_NE(window.statusPanelText(1), says) << "said once";
    // Chosen from the menu while the window shows: said at once.
    window.applySkin(damaged);
    EXPECT_EQ(window.statusPanelText(1), says);
}

// On a dark skin the toolbar once wrote its enabled captions in black on the
// dark surface and its disabled ones in light grey.
TEST(MainWindow, ToolbarCaptionsReadOnEverySkinAndDisabledOnesLookDimmer)
{
    testkit::WindowFixture fixture;
    ledger::MainWindow &window = fixture.open(app::registerFeatures, true);
    window.prepareToolbarImages();
    const QStringList skins = QDir(base::skinsFolder()).entryList({QStringLiteral("*.jss")}, QDir::Files);
    ASSERT_GE(skins.size(), 3);
    QToolButton *enabled = window.button(QStringLiteral("add"));
    QToolButton *disabled = window.button(QStringLiteral("update"));
    ASSERT_TRUE(enabled->isEnabled());
    ASSERT_FALSE(disabled->isEnabled());
    for (const QString &skinFile : skins) {
        window.applySkin(base::skinsFolder() + QLatin1Char('/') + skinFile);
        const int readable = captionContrast(&window, enabled);
        EXPECT_GE(readable, 100) << qPrintable(skinFile);
        EXPECT_LT(captionContrast(&window, disabled), readable) << qPrintable(skinFile);
    }
}

// (Closing to switch ledgers asks nothing: the other-ledger road.)
TEST(MainWindow, ExitAsksAndKeepsTheLedgerOnNo)
{
    testkit::WindowFixture fixture;
    ledger::MainWindow &window = fixture.open({}, true);
    const auto held = [] { return !testkit::opensWith(base::defaultLedgerPath()); };
    QSignalSpy ending(&window, &ledger::MainWindow::programEnding);
    fixture.responder.answer(base::MessageAnswer::No);
    EXPECT_FALSE(window.close());
    ASSERT_EQ(fixture.responder.shown().size(), 1u);
    EXPECT_EQ(fixture.responder.shown()[0].text, QStringLiteral("是否退出 Are you sure exit？"));
    EXPECT_TRUE(window.isVisible());
    EXPECT_TRUE(held());
    EXPECT_EQ(ending.count(), 0);

    fixture.responder.answer(base::MessageAnswer::Yes);
    EXPECT_TRUE(window.close());
    EXPECT_FALSE(held());
    EXPECT_EQ(ending.count(), 1);
    EXPECT_EQ(window.monthView(), nullptr);
}

// A feature's action goes where the feature says: a toolbar button shows
// it (caption, enabled state), a month menu entry stands among the
// other commands by its order and above the months, or only its shortcut
// works. A failure escaping a command is reported once, on its place's road.
TEST(MainWindow, FeaturesPlaceTheirActionsAndFailuresAreReportedOnTheirRoad)
{
    using host::CommandPlace;
    testkit::WindowFixture fixture;
    testkit::writeSampleMonth(QStringLiteral("2026-05"));
    ledger::MainWindow &window = fixture.open();
    QToolButton *graphButton = window.button(QStringLiteral("Graph"));
    const auto newAction = [](const char *name, const char *caption) {
        auto *action = new QAction(QString::fromUtf8(caption));
        action->setObjectName(QString::fromLatin1(name));
        return action;
    };
    int graphs = 0;
    QAction *graph = window.addCommand(CommandPlace::toolbar(QStringLiteral("Graph")),
                                       newAction("Graph", "画图"), [&graphs] { ++graphs; });
    EXPECT_EQ(graphButton->text(), QStringLiteral("画图"));
    QTest::mouseClick(graphButton, Qt::LeftButton);
    graph->trigger();
    EXPECT_EQ(graphs, 2);
    // The feature keeps its action: the button follows what it does to it.
    graph->setEnabled(false);
    EXPECT_FALSE(graphButton->isEnabled());
    graph->setEnabled(true);

    window.addCommand(CommandPlace::monthMenu(20), newAction("second", "二"), [] {});
    window.addCommand(CommandPlace::monthMenu(10), newAction("first", "一"), [] {});
    window.addCommand(CommandPlace::monthMenu(20), newAction("alsoSecond", "二又"), [] {});
    EXPECT_EQ(captions(window.monthMenu()), (QStringList{"一", "二", "二又", "2026-05"}));

    QAction *quiet = newAction("quiet", "静");
    int quietRuns = 0;
    window.addCommand(CommandPlace::nowhere(), quiet, [&quietRuns] { ++quietRuns; });
    EXPECT_FALSE(window.monthMenu()->actions().contains(quiet));
    EXPECT_TRUE(window.actions().contains(quiet)) << "its shortcut works in the whole window";

    const auto failing = [] { throw store::DbError(store::ErrorKind::Other, QStringLiteral("坏了 broken")); };
    window.addCommand(CommandPlace::monthMenu(40), newAction("failing", "坏"), failing)->trigger();
    ASSERT_EQ(fixture.responder.shown().size(), 1u);
    EXPECT_EQ(fixture.responder.shown()[0].text, QStringLiteral("坏了 broken"));
    EXPECT_EQ(fixture.responder.shown()[0].title, QStringLiteral("出错了"));

    // A toolbar command's failure is followed by a reload of the month.
    const int before = itemRows(window.incomePanel);
    testkit::addItems(window.ledger(), QStringLiteral("2026-05"), testkit::manyItems(1));
    fixture.responder.clear();
    window.addCommand(CommandPlace::toolbar(QStringLiteral("add")), newAction("add", "加"), failing);
    QTest::mouseClick(window.button(QStringLiteral("add")), Qt::LeftButton);
    ASSERT_EQ(fixture.responder.shown().size(), 1u);
    EXPECT_EQ(fixture.responder.shown()[0].title, base::productName());
    EXPECT_EQ(itemRows(window.incomePanel), before + 1);

    // Once closed, nothing runs on the released ledger.
    window.setSwitchingLedger(true);
    window.close();
    EXPECT_FALSE(graph->isEnabled());
    graph->setEnabled(true);
    graph->trigger();
    EXPECT_EQ(graphs, 2);
    EXPECT_FALSE(window.addCommand(CommandPlace::monthMenu(50), newAction("late", "迟"), [] {})->isEnabled());
}
