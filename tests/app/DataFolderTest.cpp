#include "app/DataFolder.h"
#include "app/KadroApplication.h"
#include "common/Cp1252.h"
#include "settings/model/Titles.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <optional>

using namespace kadro;
using kadro::test::readBytes;
namespace df = kadro::datafolder;

namespace {

void writeFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << path.toStdString();
    f.write(bytes);
}

// Sets an environment variable (or removes it, for nullopt) for one test and restores it after.
class ScopedVariable {
public:
    ScopedVariable(const char* name, const std::optional<QString>& value) : m_name(name)
    {
        m_had = qEnvironmentVariableIsSet(name);
        m_old = qgetenv(name);
        if (value)
            qputenv(name, value->toLocal8Bit());
        else
            qunsetenv(name);
    }
    ~ScopedVariable()
    {
        if (m_had)
            qputenv(m_name, m_old);
        else
            qunsetenv(m_name);
    }

private:
    const char* m_name;
    bool m_had = false;
    QByteArray m_old;
};

class DataFolder : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(tmp.isValid());
        m_oldDir = QDir::currentPath();
        shipped = tmp.filePath(QStringLiteral("share/kadro"));
        writeFile(shipped + "/faq.txt", "Frage 1\r\nAntwort 1\r\n");
        writeFile(shipped + "/Demo/FreierFall.vst", "Videosteuerungsdatei zu Avi-File: *FreierFall.avi*\r\n");
        writeFile(shipped + "/Demo/FreierFall.avi", QByteArray("RIFF\0\0\0\0AVI ", 12));
        writeFile(shipped + "/Demo/FreierFall/1.mem", "{\\rtf1 Ruhe}");
    }
    void TearDown() override { QDir::setCurrent(m_oldDir); }

    QString at(const QString& name) const { return tmp.filePath(name); }

    QTemporaryDir tmp;
    QString shipped;

private:
    QString m_oldDir;
};

const QStringList kShippedFiles{"Demo/FreierFall.avi", "Demo/FreierFall.vst", "Demo/FreierFall/1.mem", "faq.txt"};

} // namespace

TEST_F(DataFolder, AFirstStartCopiesTheShippedFilesAndMakesTheDemoEntryOne)
{
    // Installed data is often read-only; the user's copy must not be.
    QFile::setPermissions(shipped + "/faq.txt", QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
    const QString folder = at("home/.local/share/kadro");

    const df::SeedResult r = df::seed(folder, shipped);

    EXPECT_TRUE(r.usable);
    EXPECT_EQ(r.copied, kShippedFiles);
    for (const QString& name : kShippedFiles)
        EXPECT_EQ(readBytes(folder + "/" + name), readBytes(shipped + "/" + name)) << name.toStdString();
    EXPECT_TRUE(QFileInfo(folder + "/faq.txt").isWritable());

    EXPECT_TRUE(r.titlesWritten);
    const QByteArray titles = readBytes(folder + "/Titel.opt");
    EXPECT_TRUE(titles.startsWith("Titel f\xfcr die Startseite\r\nTitel1:Freier Fall (Demo)\r\nzu vst-Datei:"));
    TitlesTable table;
    ASSERT_TRUE(readTitlesText(titles, table));
    EXPECT_EQ(table.title[0], QStringLiteral("Freier Fall (Demo)"));
    EXPECT_EQ(table.path[0], QDir(folder).absoluteFilePath("Demo/FreierFall.vst"));
    for (int i = 1; i < 5; ++i) {
        EXPECT_TRUE(table.title[i].isEmpty()) << i;
        EXPECT_TRUE(table.path[i].isEmpty()) << i;
    }
}

TEST_F(DataFolder, ALaterStartKeepsWhatTheUserHasAndAddsOnlyWhatIsMissing)
{
    const QString folder = at("daten");
    writeFile(folder + "/faq.txt", "meine eigenen Fragen");
    writeFile(folder + "/Titel.opt", "Titel f\xfcr die Startseite\r\nTitel1:Wurf\r\nzu vst-Datei:/kurs/Wurf.vst\r\n");
    writeFile(folder + "/Demo/FreierFall.vst", "von mir bearbeitet");
    // A link that leads nowhere is the user's too: a copy must not go through it.
    ASSERT_TRUE(QDir().mkpath(folder + "/Demo/FreierFall"));
    ASSERT_TRUE(QFile::link(at("nirgends/1.mem"), folder + "/Demo/FreierFall/1.mem"));

    const df::SeedResult r = df::seed(folder, shipped);

    EXPECT_EQ(r.copied, QStringList{"Demo/FreierFall.avi"});
    EXPECT_FALSE(r.titlesWritten);
    EXPECT_EQ(readBytes(folder + "/faq.txt"), QByteArray("meine eigenen Fragen"));
    EXPECT_EQ(readBytes(folder + "/Demo/FreierFall.vst"), QByteArray("von mir bearbeitet"));
    EXPECT_TRUE(readBytes(folder + "/Titel.opt").contains("Titel1:Wurf\r\n"));
    EXPECT_FALSE(QFileInfo::exists(at("nirgends/1.mem")));

    // Once everything is there, a start copies nothing at all.
    EXPECT_TRUE(df::seed(folder, shipped).copied.isEmpty());
}

TEST_F(DataFolder, WithoutShippedDataTheFolderIsMadeButNoEntryIsInvented)
{
    for (const QString& none : {QString(), at("gibt-es-nicht")}) {
        const QString folder = at("leer") + QString::number(none.size());
        const df::SeedResult r = df::seed(folder, none);
        EXPECT_TRUE(r.usable);
        EXPECT_TRUE(QFileInfo(folder).isDir());
        EXPECT_TRUE(r.copied.isEmpty());
        EXPECT_FALSE(QFileInfo::exists(folder + "/Titel.opt"));
    }
    // The shipped folder as the data folder (an install into the user's own data location):
    // nothing to copy, and the demo there becomes entry 1.
    const df::SeedResult same = df::seed(shipped, shipped);
    EXPECT_TRUE(same.copied.isEmpty());
    EXPECT_TRUE(same.titlesWritten);
}

TEST_F(DataFolder, AFolderThatCannotBeMadeIsRefusedAndTheWorkingDirectoryStays)
{
    writeFile(at("eine-datei"), "x");
    EXPECT_FALSE(df::seed(at("eine-datei"), shipped).usable);
    EXPECT_FALSE(df::seed(at("eine-datei/kadro"), shipped).usable);

    const QString before = QDir::currentPath();
    ScopedVariable data(df::kDataDirVariable, at("eine-datei/kadro"));
    ScopedVariable share(df::kShareDirVariable, shipped);
    EXPECT_FALSE(df::enter());
    EXPECT_EQ(QDir::currentPath(), before);
}

TEST_F(DataFolder, EnteringMakesTheBareFileNamesResolveInTheDataFolder)
{
    ScopedVariable data(df::kDataDirVariable, at("daten"));
    ScopedVariable share(df::kShareDirVariable, shipped);
    ASSERT_TRUE(df::enter());
    EXPECT_EQ(QDir::currentPath(), QFileInfo(at("daten")).canonicalFilePath());
    EXPECT_EQ(readBytes("faq.txt"), readBytes(shipped + "/faq.txt"));
    TitlesTable table;
    ASSERT_TRUE(readTitlesText(readBytes("Titel.opt"), table));
    EXPECT_TRUE(QFileInfo(table.path[0]).isFile());
}

TEST_F(DataFolder, AFolderNameOutsideTheTitlesCodePageStoresTheDemoRelatively)
{
    // "Łódź": Ł cannot be written in Windows-1252; the relative path finds the demo from the data
    // folder, which is the working directory.
    const QString folder = at(QStringLiteral("Łódź/kadro"));
    ASSERT_TRUE(df::seed(folder, shipped).titlesWritten);
    TitlesTable table;
    ASSERT_TRUE(readTitlesText(readBytes(folder + "/Titel.opt"), table));
    EXPECT_EQ(table.path[0], QStringLiteral("Demo/FreierFall.vst"));
    ASSERT_TRUE(QDir::setCurrent(folder));
    EXPECT_TRUE(QFileInfo(table.path[0]).isFile());
}

TEST_F(DataFolder, WhereTheFoldersAreLookedFor)
{
    {
        // The user's folder: the override (relative to where the program starts), else the data
        // location.
        ASSERT_TRUE(QDir::setCurrent(tmp.path()));
        ScopedVariable data(df::kDataDirVariable, QStringLiteral("rel/kadro"));
        EXPECT_EQ(QDir::cleanPath(df::userFolder()), QDir::cleanPath(QDir::current().absoluteFilePath("rel/kadro")));
    }
    ScopedVariable noData(df::kDataDirVariable, std::nullopt);
    ScopedVariable home("XDG_DATA_HOME", at("xdg"));
    EXPECT_EQ(df::userFolder(), at("xdg/kadro"));

    // The shipped data: the override; else ../share/kadro beside the program; else a "kadro"
    // folder of the system's data folders, never the user's own.
    QDir().mkpath(at("xdg/kadro"));
    QDir().mkpath(at("sys/kadro"));
    QDir().mkpath(at("prefix/bin"));
    ScopedVariable dirs("XDG_DATA_DIRS", at("xdg") + ":" + at("leer") + ":" + at("sys"));
    {
        ScopedVariable share(df::kShareDirVariable, shipped);
        EXPECT_EQ(df::shippedFolder(at("prefix/bin")), shipped);
    }
    ScopedVariable noShare(df::kShareDirVariable, std::nullopt);
    EXPECT_EQ(df::shippedFolder(at("prefix/bin")), at("sys/kadro"));
    EXPECT_EQ(df::shippedFolder(tmp.filePath("bin")), shipped); // <tmp>/bin/../share/kadro
    ScopedVariable noDirs("XDG_DATA_DIRS", at("leer"));
    EXPECT_EQ(df::shippedFolder(at("prefix/bin")), QString());
}

TEST(ApplicationIcon, HasEveryInstalledSizeFromTheResources)
{
    const QIcon icon = applicationIcon();
    for (const int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        EXPECT_TRUE(icon.availableSizes().contains(QSize(size, size))) << size;
        const QImage image = icon.pixmap(QSize(size, size)).toImage();
        ASSERT_EQ(image.size(), QSize(size, size)) << size;
        // The dark film strip above the middle, the light picture below it.
        const QRgb strip = image.pixel(size / 2, size * 20 / 256);
        const QRgb picture = image.pixel(size / 2, size * 170 / 256);
        EXPECT_EQ(qAlpha(strip), 255) << size;
        EXPECT_LT(qGray(strip), 80) << size;
        EXPECT_GT(qGray(picture), 200) << size;
    }
}
