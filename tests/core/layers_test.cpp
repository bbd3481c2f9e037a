// The layers of the source: each folder includes headers of its own layer or
// of the layers below it, never of one above. From the bottom: data/ and
// platform/ (no Widgets), platform/widgets/, import/, ui/ (the screen
// framework), screens/, app/ (start-up and the main window) on top.
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <map>

namespace {

// What each folder may include, besides itself.
const std::map<QString, QStringList>& allowed() {
    static const std::map<QString, QStringList> table = {
        {QStringLiteral("data"), {QStringLiteral("platform")}},
        {QStringLiteral("platform"), {QStringLiteral("data")}},
        {QStringLiteral("platform/widgets"), {QStringLiteral("platform"), QStringLiteral("data")}},
        {QStringLiteral("import"), {QStringLiteral("data"), QStringLiteral("platform")}},
        {QStringLiteral("ui"),
         {QStringLiteral("data"), QStringLiteral("platform"), QStringLiteral("platform/widgets")}},
        {QStringLiteral("screens"),
         {QStringLiteral("data"), QStringLiteral("platform"), QStringLiteral("platform/widgets"),
          QStringLiteral("ui")}},
    };
    return table;
}

// The folder of the table a path (relative to the source root) belongs to.
QString layerOf(const QString& path) {
    if (path.startsWith(QLatin1String("platform/widgets/"))) {
        return QStringLiteral("platform/widgets");
    }
    return path.section(QLatin1Char('/'), 0, 0);
}

TEST(LayersTest, NoFolderIncludesAHeaderOfALayerAboveIt) {
    const QDir root(QStringLiteral(VELMORAN_SOURCE_DIR));
    const QRegularExpression include(QStringLiteral("^\\s*#\\s*include\\s+\"([^\"]+)\""),
                                     QRegularExpression::MultilineOption);
    int files = 0;
    for (const auto& [layer, below] : allowed()) {
        QDirIterator it(root.filePath(layer), {QStringLiteral("*.h"), QStringLiteral("*.cpp")},
                        QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = root.relativeFilePath(it.next());
            if (layerOf(path) != layer) {
                continue; // platform/widgets is a layer of its own
            }
            ++files;
            QFile file(root.filePath(path));
            ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
            const QString text = QString::fromUtf8(file.readAll());
            auto matches = include.globalMatch(text);
            while (matches.hasNext()) {
                const QString header = matches.next().captured(1);
                const QString target = layerOf(header);
                EXPECT_TRUE(target == layer || below.contains(target))
                    << path.toStdString() << " includes " << header.toStdString();
            }
        }
    }
    EXPECT_GT(files, 50);
}

} // namespace
