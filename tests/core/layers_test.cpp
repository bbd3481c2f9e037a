// The layers of the source: each folder includes headers of its own layer or
// of the layers below it, never of one above. From the bottom: the rooms of
// data/ (core; folder; the SQLite and PostgreSQL stores; choosing a store
// and the record source; maintenance) and platform/, on Qt Core only; then
// import/, export/ and cli/ beside them; platform/widgets/, ui/ (the screen
// framework), screens/ and app/ (start-up and the main window) on top.
// An engine's C header stands only in that engine's room, and the files of
// data/ include one another without a cycle.
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <set>

namespace {

const QStringList kDataRooms = {QStringLiteral("data/core"),   QStringLiteral("data/folder"),
                                QStringLiteral("data/sqlite"), QStringLiteral("data/postgres"),
                                QStringLiteral("data/store"),  QStringLiteral("data/maintenance")};

QStringList withData(QStringList layers) {
    return layers + kDataRooms;
}

// What each folder may include, besides itself. Every folder of the
// program's source is a row.
const std::map<QString, QStringList>& allowed() {
    static const std::map<QString, QStringList> table = {
        {QStringLiteral("data/core"), {}},
        {QStringLiteral("data/folder"), {QStringLiteral("data/core")}},
        {QStringLiteral("data/sqlite"),
         {QStringLiteral("data/core"), QStringLiteral("data/folder")}},
        {QStringLiteral("data/postgres"), {QStringLiteral("data/core")}},
        {QStringLiteral("data/store"),
         {QStringLiteral("data/core"), QStringLiteral("data/folder"), QStringLiteral("data/sqlite"),
          QStringLiteral("data/postgres")}},
        {QStringLiteral("data/maintenance"),
         {QStringLiteral("data/core"), QStringLiteral("data/folder"), QStringLiteral("data/sqlite"),
          QStringLiteral("data/postgres"), QStringLiteral("data/store")}},
        {QStringLiteral("platform"), withData({})},
        {QStringLiteral("import"), withData({QStringLiteral("platform")})},
        {QStringLiteral("export"), withData({QStringLiteral("platform")})},
        {QStringLiteral("cli"), withData({QStringLiteral("platform"), QStringLiteral("import"),
                                          QStringLiteral("export")})},
        {QStringLiteral("tools"), withData({QStringLiteral("cli"), QStringLiteral("platform")})},
        {QStringLiteral("platform/widgets"), withData({QStringLiteral("platform")})},
        {QStringLiteral("ui"),
         withData({QStringLiteral("platform"), QStringLiteral("platform/widgets")})},
        {QStringLiteral("screens"),
         withData({QStringLiteral("platform"), QStringLiteral("platform/widgets"),
                   QStringLiteral("ui"), QStringLiteral("export"), QStringLiteral("import")})},
        {QStringLiteral("app"),
         withData({QStringLiteral("platform"), QStringLiteral("platform/widgets"),
                   QStringLiteral("ui"), QStringLiteral("screens"), QStringLiteral("import")})},
    };
    return table;
}

// The layer a path (relative to the source root) belongs to.
QString layerOf(const QString& path) {
    if (path.startsWith(QLatin1String("platform/widgets/"))) {
        return QStringLiteral("platform/widgets");
    }
    if (path.startsWith(QLatin1String("data/"))) {
        return path.section(QLatin1Char('/'), 0, 1);
    }
    return path.section(QLatin1Char('/'), 0, 0);
}

struct SourceFile {
    QString path;              // relative to the source root
    QStringList includes;      // "..." includes
    QStringList systemHeaders; // <...> includes
};

// Every .h and .cpp of the program's folders (not the tests, the benchmarks
// or the packaging).
std::vector<SourceFile> programFiles() {
    const QDir root(QStringLiteral(VELMORAN_SOURCE_DIR));
    const QRegularExpression local(QStringLiteral("^\\s*#\\s*include\\s+\"([^\"]+)\""),
                                   QRegularExpression::MultilineOption);
    const QRegularExpression system(QStringLiteral("^\\s*#\\s*include\\s+<([^>]+)>"),
                                    QRegularExpression::MultilineOption);
    std::vector<SourceFile> files;
    for (const QString& top :
         {QStringLiteral("data"), QStringLiteral("platform"), QStringLiteral("import"),
          QStringLiteral("export"), QStringLiteral("cli"), QStringLiteral("tools"),
          QStringLiteral("ui"), QStringLiteral("screens"), QStringLiteral("app")}) {
        QDirIterator it(root.filePath(top), {QStringLiteral("*.h"), QStringLiteral("*.cpp")},
                        QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            SourceFile file{root.relativeFilePath(it.next()), {}, {}};
            QFile in(root.filePath(file.path));
            EXPECT_TRUE(in.open(QIODevice::ReadOnly)) << file.path.toStdString();
            const QString text = QString::fromUtf8(in.readAll());
            for (auto m = local.globalMatch(text); m.hasNext();) {
                file.includes << m.next().captured(1);
            }
            for (auto m = system.globalMatch(text); m.hasNext();) {
                file.systemHeaders << m.next().captured(1);
            }
            files.push_back(std::move(file));
        }
    }
    return files;
}

TEST(LayersTest, EveryFolderIncludesOnlyItsOwnLayerAndTheLayersBelow) {
    const std::vector<SourceFile> files = programFiles();
    for (const SourceFile& file : files) {
        const QString layer = layerOf(file.path);
        const auto row = allowed().find(layer);
        ASSERT_NE(row, allowed().end()) << file.path.toStdString() << ": a folder of no layer";
        for (const QString& header : file.includes) {
            const QString target = layerOf(header);
            EXPECT_TRUE(target == layer || row->second.contains(target))
                << file.path.toStdString() << " includes " << header.toStdString();
        }
    }
    EXPECT_GT(files.size(), 150u);
}

TEST(LayersTest, AnEngineHeaderStandsOnlyInItsEnginesRoom) {
    const std::map<QString, QString> rooms = {
        {QStringLiteral("sqlite3.h"), QStringLiteral("data/sqlite")},
        {QStringLiteral("libpq-fe.h"), QStringLiteral("data/postgres")}};
    int engineFiles = 0;
    for (const SourceFile& file : programFiles()) {
        for (const QString& header : file.systemHeaders) {
            const auto room = rooms.find(header);
            if (room != rooms.end()) {
                ++engineFiles;
                EXPECT_EQ(layerOf(file.path), room->second)
                    << file.path.toStdString() << " includes <" << header.toStdString() << ">";
            }
        }
    }
    EXPECT_GE(engineFiles, 2);
}

// The files of data/ by stem (a header and its source are one node).
TEST(LayersTest, TheFilesOfTheDataLayerIncludeOneAnotherWithoutACycle) {
    std::map<QString, std::set<QString>> edges;
    const auto stem = [](const QString& path) { return path.section(QLatin1Char('.'), 0, 0); };
    for (const SourceFile& file : programFiles()) {
        if (!file.path.startsWith(QLatin1String("data/"))) {
            continue;
        }
        std::set<QString>& out = edges[stem(file.path)];
        for (const QString& header : file.includes) {
            if (header.startsWith(QLatin1String("data/")) && stem(header) != stem(file.path)) {
                out.insert(stem(header));
            }
        }
    }
    ASSERT_GT(edges.size(), 25u);
    enum class Mark { None, OnPath, Done };
    std::map<QString, Mark> marks;
    QStringList path;
    std::function<void(const QString&)> visit = [&](const QString& node) {
        Mark& mark = marks[node];
        if (mark == Mark::Done) {
            return;
        }
        if (mark == Mark::OnPath) {
            const QStringList cycle = path.mid(path.indexOf(node)) << node;
            ADD_FAILURE() << "include cycle: " << cycle.join(QStringLiteral(" -> ")).toStdString();
            return;
        }
        mark = Mark::OnPath;
        path << node;
        for (const QString& next : edges[node]) {
            visit(next);
        }
        path.removeLast();
        marks[node] = Mark::Done;
    };
    for (const auto& [node, out] : edges) {
        visit(node);
    }
}

} // namespace
