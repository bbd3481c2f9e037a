// The installed tree and the Debian package: every file in place, the
// desktop entry and the metadata accepted by their validators, the icons the
// sizes they claim, the package's fields and file list right, lintian
// finding no error.
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QProcess>
#include <QRegularExpression>
#include <QSvgRenderer>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

const QString kVersion = QStringLiteral(VELMORAN_VERSION);
const QString kMetainfo = QStringLiteral("share/metainfo/ir.velmoran.Velmoran.metainfo.xml");
const int kIconSizes[] = {16, 22, 24, 32, 48, 64, 128, 256};

struct Outcome {
    int exitCode = -1;
    QString out; // standard output and error together
};

Outcome run(const QString& program, const QStringList& arguments,
            const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment()) {
    QProcess process;
    process.setProcessEnvironment(environment);
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    Outcome result;
    if (!process.waitForStarted(10000)) {
        result.out = program + QStringLiteral(" did not start");
        return result;
    }
    process.waitForFinished(600000);
    result.out = QString::fromUtf8(process.readAll());
    result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    return result;
}

QString readText(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    return QString::fromUtf8(file.readAll());
}

// The files the install puts under the prefix, beside the icons.
QStringList expectedFiles() {
    QStringList files{
        QStringLiteral("bin/velmoran"),
        QStringLiteral("bin/velmoran-cli"),
        QStringLiteral("share/applications/velmoran.desktop"),
        kMetainfo,
        QStringLiteral("share/icons/hicolor/scalable/apps/velmoran.svg"),
        QStringLiteral("share/doc/velmoran/README.md"),
        QStringLiteral("share/doc/velmoran/LICENSE"),
        QStringLiteral("share/doc/velmoran/copyright"),
        QStringLiteral("share/doc/velmoran/changelog.gz"),
        QStringLiteral("share/man/man1/velmoran.1.gz"),
        QStringLiteral("share/man/man1/velmoran-cli.1.gz"),
    };
    for (const int size : kIconSizes) {
        files << QStringLiteral("share/icons/hicolor/%1x%1/apps/velmoran.png").arg(size);
    }
    return files;
}

class InstallTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        destdir_ = new QTemporaryDir;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("DESTDIR"), destdir_->path());
        const Outcome install =
            run(QStringLiteral(VELMORAN_CMAKE),
                {QStringLiteral("--install"), QStringLiteral(VELMORAN_BUILD_DIR),
                 QStringLiteral("--prefix"), QStringLiteral("/usr")},
                environment);
        installLog_ = new QString(install.out);
        installed_ = install.exitCode == 0;
    }
    static void TearDownTestSuite() {
        delete destdir_;
        delete installLog_;
    }
    void SetUp() override { ASSERT_TRUE(installed_) << installLog_->toStdString(); }

    static QString path(const QString& relative) {
        return destdir_->path() + QStringLiteral("/usr/") + relative;
    }

private:
    static inline QTemporaryDir* destdir_ = nullptr;
    static inline QString* installLog_ = nullptr;
    static inline bool installed_ = false;
};

TEST_F(InstallTest, PutsEveryFileInPlaceAndTheProgramsCanBeRun) {
    for (const QString& file : expectedFiles()) {
        EXPECT_TRUE(QFileInfo(path(file)).isFile()) << file.toStdString();
    }
    for (const char* program : {"bin/velmoran", "bin/velmoran-cli"}) {
        EXPECT_TRUE(QFileInfo(path(QLatin1String(program))).isExecutable()) << program;
    }
    // Nothing but those is installed.
    QStringList found;
    QDirIterator it(path(QString()), QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        found << it.next().mid(path(QString()).size());
    }
    found.sort();
    QStringList expected = expectedFiles();
    expected.sort();
    EXPECT_EQ(found, expected);
}

// The command-line tool runs where no desktop is installed: it loads Qt Core
// and the store libraries, no library of windows, fonts or printing.
TEST_F(InstallTest, TheCommandLineToolLoadsNoLibraryOfWindows) {
    const Outcome needed = run(QStringLiteral("ldd"), {path(QStringLiteral("bin/velmoran-cli"))});
    ASSERT_EQ(needed.exitCode, 0) << needed.out.toStdString();
    EXPECT_TRUE(needed.out.contains(QLatin1String("libQt6Core"))) << needed.out.toStdString();
    for (const char* library : {"libQt6Widgets", "libQt6Gui", "libQt6PrintSupport", "libQt6Svg"}) {
        EXPECT_FALSE(needed.out.contains(QLatin1String(library)))
            << "velmoran-cli loads " << library << ":\n"
            << needed.out.toStdString();
    }
    const Outcome version =
        run(path(QStringLiteral("bin/velmoran-cli")), {QStringLiteral("--version")});
    EXPECT_EQ(version.exitCode, 0) << version.out.toStdString();
}

// Asked on a terminal of a machine without a desktop, the program tells its
// version and its help and ends: no display is needed and nothing starts
// (no data folder is made).
TEST_F(InstallTest, TheProgramAnswersVersionAndHelpWithoutADisplay) {
    QTemporaryDir home;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY", "XDG_DATA_HOME",
                             "XDG_CONFIG_HOME", "LANGUAGE"}) {
        environment.remove(QLatin1String(name));
    }
    environment.insert(QStringLiteral("HOME"), home.path());
    environment.insert(QStringLiteral("LANG"), QStringLiteral("C.UTF-8"));
    environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    const QString program = path(QStringLiteral("bin/velmoran"));
    const Outcome version = run(program, {QStringLiteral("--version")}, environment);
    EXPECT_EQ(version.exitCode, 0) << version.out.toStdString();
    EXPECT_EQ(version.out, QStringLiteral("velmoran %1\n").arg(kVersion));
    for (const char* option : {"--help", "-h"}) {
        const Outcome help = run(program, {QLatin1String(option)}, environment);
        EXPECT_EQ(help.exitCode, 0) << option << help.out.toStdString();
        EXPECT_TRUE(help.out.startsWith(QStringLiteral("usage: velmoran")))
            << help.out.toStdString();
        EXPECT_TRUE(help.out.contains(QStringLiteral("velmoran-cli --help")));
    }
    environment.insert(QStringLiteral("LANG"), QStringLiteral("fa_IR.UTF-8"));
    environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("fa_IR.UTF-8"));
    const Outcome persian = run(program, {QStringLiteral("--help")}, environment);
    EXPECT_EQ(persian.exitCode, 0) << persian.out.toStdString();
    EXPECT_TRUE(persian.out.startsWith(QStringLiteral("روش كار: velmoran")))
        << persian.out.toStdString();
    EXPECT_TRUE(QDir(home.path()).isEmpty());
}

TEST_F(InstallTest, TheMenuEntryValidatesAndStartsTheProgramByItsIcon) {
    const QString entry = path(QStringLiteral("share/applications/velmoran.desktop"));
    const Outcome validate = run(QStringLiteral("desktop-file-validate"), {entry});
    EXPECT_EQ(validate.exitCode, 0) << validate.out.toStdString();
    EXPECT_TRUE(validate.out.trimmed().isEmpty()) << validate.out.toStdString();

    const QStringList lines = readText(entry).split(QLatin1Char('\n'));
    for (const char* line : {"Type=Application", "Name=Velmoran", "Exec=velmoran", "Icon=velmoran",
                             "Terminal=false", "Categories=Office;"}) {
        EXPECT_TRUE(lines.contains(QLatin1String(line))) << line;
    }
    // A Persian name in Arabic script, and an English comment.
    const QRegularExpression persianName(QStringLiteral("^Name\\[fa\\]=[\\x{0600}-\\x{06FF} ]+$"));
    EXPECT_EQ(lines.filter(persianName).size(), 1);
    EXPECT_EQ(lines.filter(QRegularExpression(QStringLiteral("^Comment=\\S"))).size(), 1);
}

TEST_F(InstallTest, TheMetadataValidatesAndCarriesTheVersion) {
    const Outcome validate =
        run(QStringLiteral("appstreamcli"),
            {QStringLiteral("validate"), QStringLiteral("--no-net"), path(kMetainfo)});
    EXPECT_EQ(validate.exitCode, 0) << validate.out.toStdString();
    const QString metainfo = readText(path(kMetainfo));
    EXPECT_TRUE(metainfo.contains(QStringLiteral("<release version=\"%1\"").arg(kVersion)));
    EXPECT_TRUE(metainfo.contains(QStringLiteral("<summary xml:lang=\"fa\">")));
    EXPECT_TRUE(
        metainfo.contains(QStringLiteral("<launchable type=\"desktop-id\">velmoran.desktop")));
}

TEST_F(InstallTest, IconsAreTheSizesTheirFoldersClaim) {
    for (const int size : kIconSizes) {
        QImageReader reader(
            path(QStringLiteral("share/icons/hicolor/%1x%1/apps/velmoran.png").arg(size)));
        EXPECT_EQ(reader.format(), "png") << size;
        const QImage image = reader.read();
        EXPECT_EQ(image.size(), QSize(size, size)) << size;
        // The picture, not an empty square: the corner is clear, the middle drawn.
        EXPECT_EQ(image.pixelColor(0, 0).alpha(), 0) << size;
        EXPECT_EQ(image.pixelColor(size / 2, size / 2).alpha(), 255) << size;
    }
    QSvgRenderer scalable(path(QStringLiteral("share/icons/hicolor/scalable/apps/velmoran.svg")));
    ASSERT_TRUE(scalable.isValid());
    EXPECT_EQ(scalable.viewBoxF().width(), scalable.viewBoxF().height());
}

TEST_F(InstallTest, TheChangelogOpensWithThisVersion) {
    QProcess gunzip;
    gunzip.start(QStringLiteral("gzip"),
                 {QStringLiteral("-dc"), path(QStringLiteral("share/doc/velmoran/changelog.gz"))});
    ASSERT_TRUE(gunzip.waitForFinished(10000));
    const QString firstLine = QString::fromUtf8(gunzip.readAllStandardOutput()).section('\n', 0, 0);
    EXPECT_EQ(firstLine, QStringLiteral("velmoran (%1) stable; urgency=medium").arg(kVersion));
}

// The package CPack makes of this build, as ./package.sh makes it of the
// release build.
class PackageTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        outDir_ = new QTemporaryDir;
        const Outcome cpack =
            run(QStringLiteral(VELMORAN_CPACK),
                {QStringLiteral("-G"), QStringLiteral("DEB"), QStringLiteral("--config"),
                 QStringLiteral(VELMORAN_BUILD_DIR "/CPackConfig.cmake"), QStringLiteral("-B"),
                 outDir_->path()});
        log_ = new QString(cpack.out);
        const QStringList debs = QDir(outDir_->path()).entryList({QStringLiteral("*.deb")});
        if (cpack.exitCode == 0 && debs.size() == 1) {
            deb_ = new QString(QDir(outDir_->path()).filePath(debs.first()));
        }
    }
    static void TearDownTestSuite() {
        delete outDir_;
        delete log_;
        delete deb_;
        deb_ = nullptr;
    }
    void SetUp() override { ASSERT_NE(deb_, nullptr) << log_->toStdString(); }

    static QString field(const char* name) {
        return run(QStringLiteral("dpkg-deb"), {QStringLiteral("-f"), *deb_, QLatin1String(name)})
            .out.trimmed();
    }

    static inline QTemporaryDir* outDir_ = nullptr;
    static inline QString* log_ = nullptr;
    static inline QString* deb_ = nullptr;
};

TEST_F(PackageTest, IsNamedAndVersionedFromTheProject) {
    const QString arch =
        run(QStringLiteral("dpkg"), {QStringLiteral("--print-architecture")}).out.trimmed();
    EXPECT_EQ(QFileInfo(*deb_).fileName(),
              QStringLiteral("velmoran_%1_%2.deb").arg(kVersion, arch));
    EXPECT_EQ(field("Package"), QStringLiteral("velmoran"));
    EXPECT_EQ(field("Version"), kVersion);
    EXPECT_EQ(field("Architecture"), arch);
    EXPECT_TRUE(field("Maintainer").contains(QLatin1Char('@')));
    EXPECT_FALSE(field("Description").isEmpty());
}

TEST_F(PackageTest, DependsOnTheLibrariesItLinksTheFontsItDrawsWithAndQtsPersianTexts) {
    const QStringList depends = field("Depends").split(QStringLiteral(", "));
    QStringList names;
    for (const QString& dependency : depends) {
        names << dependency.section(QLatin1Char(' '), 0, 0);
    }
    for (const char* name :
         {"libqt6widgets6", "libqt6svg6", "libqt6printsupport6", "libsqlite3-0", "libmdb3",
          "libxlsxwriter4", "libc6", "fonts-farsiweb", "fonts-freefarsi", "fonts-dejavu-core",
          "fonts-liberation2", "qt6-translations-l10n"}) {
        EXPECT_TRUE(names.contains(QLatin1String(name)))
            << name << " in " << names.join(',').toStdString();
    }
}

TEST_F(PackageTest, HoldsTheInstalledFilesUnderUsrOwnedByRoot) {
    const Outcome contents = run(QStringLiteral("dpkg-deb"), {QStringLiteral("-c"), *deb_});
    ASSERT_EQ(contents.exitCode, 0) << contents.out.toStdString();
    QStringList files;
    for (const QString& line : contents.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        const QStringList columns = line.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        ASSERT_GE(columns.size(), 6) << line.toStdString();
        EXPECT_EQ(columns[1], QStringLiteral("root/root")) << line.toStdString();
        const QString name = columns[5];
        EXPECT_TRUE(name == QStringLiteral("./") || name.startsWith(QStringLiteral("./usr/")))
            << name.toStdString();
        if (!columns[0].startsWith(QLatin1Char('d'))) {
            files << name.mid(QStringLiteral("./usr/").size());
        }
    }
    files.sort();
    QStringList expected = expectedFiles();
    expected.sort();
    EXPECT_EQ(files, expected);
}

TEST_F(PackageTest, LintianFindsNoError) {
    const Outcome lintian =
        run(QStringLiteral("lintian"), {QStringLiteral("--no-tag-display-limit"), *deb_});
    const QStringList errors =
        lintian.out.split(QLatin1Char('\n')).filter(QRegularExpression(QStringLiteral("^E: ")));
    EXPECT_TRUE(errors.isEmpty()) << lintian.out.toStdString();
    EXPECT_NE(lintian.exitCode, -1) << lintian.out.toStdString();
}

} // namespace
