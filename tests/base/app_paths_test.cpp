#include "base/app_paths.h"

#include <QtWidgets>

#include <gtest/gtest.h>

using namespace zambrel;

namespace {

// An installation laid out under a temporary prefix: <prefix>/bin and the
// skins folder the build reaches from there.
struct Prefix {
    QTemporaryDir dir;
    QString bin = dir.filePath(QStringLiteral("bin"));
    QString installedSkins = QDir::cleanPath(bin + QStringLiteral("/" ZAMBREL_SKINS_FROM_BINDIR));
    QString besideSkins = bin + QStringLiteral("/skins");

    Prefix()
    {
        QDir().mkpath(bin);
        QDir().mkpath(installedSkins);
    }
};

} // namespace

// An installed program uses the data folder of its prefix; skins beside the
// program come first, but a file named so is no folder.
TEST(ShippedSkinsFolder, BesideTheProgramElseTheDataFolderOfItsPrefix)
{
    Prefix prefix;
    EXPECT_EQ(base::shippedSkinsFolder(prefix.bin), prefix.installedSkins);
    EXPECT_TRUE(prefix.installedSkins.startsWith(prefix.dir.path() + QLatin1Char('/')));
    EXPECT_FALSE(prefix.installedSkins.contains(QStringLiteral("..")));
    QFile file(prefix.besideSkins);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    EXPECT_EQ(base::shippedSkinsFolder(prefix.bin), prefix.installedSkins);
    ASSERT_TRUE(file.remove() && QDir().mkpath(prefix.besideSkins));
    EXPECT_EQ(base::shippedSkinsFolder(prefix.bin), prefix.besideSkins);
}

// The full order: an explicit folder, then the environment, then the skins
// shipped with the running program (here the build's, beside the tests).
TEST(SkinsFolder, OverrideThenEnvironmentThenShippedSkins)
{
    const QByteArray before = qgetenv("ZAMBREL_SKINS_DIR");
    QTemporaryDir chosen;
    QTemporaryDir fromEnvironment;
    qputenv("ZAMBREL_SKINS_DIR", fromEnvironment.path().toLocal8Bit());
    base::setSkinsFolder(chosen.path());
    EXPECT_EQ(base::skinsFolder(), QDir::cleanPath(chosen.path()));
    base::setSkinsFolder({});
    EXPECT_EQ(base::skinsFolder(), QDir::cleanPath(fromEnvironment.path()));
    qunsetenv("ZAMBREL_SKINS_DIR");
    const QString shipped = base::shippedSkinsFolder(QCoreApplication::applicationDirPath());
    EXPECT_EQ(base::skinsFolder(), shipped);
    EXPECT_EQ(base::defaultSkinPath(), shipped + QStringLiteral("/金色水晶.jss"));
    EXPECT_TRUE(QFile::exists(base::defaultSkinPath()));
    qputenv("ZAMBREL_SKINS_DIR", before);
}
