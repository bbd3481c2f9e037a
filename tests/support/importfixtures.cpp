#include "tests/support/importfixtures.h"

#include "import/mdbheader.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>

#include <gtest/gtest.h>

#include <stdexcept>

namespace velmoran::test {

namespace {

QByteArray utf16(const QString& text) {
    return QByteArray(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
}

QString run(const QString& program, const QStringList& arguments,
            const QProcessEnvironment& environment) {
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(program, arguments);
    if (!process.waitForFinished(30000) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0) {
        throw std::runtime_error((program + QLatin1Char(' ') + arguments.join(QLatin1Char(' ')) +
                                  QStringLiteral(" failed: ") + process.errorString() +
                                  QString::fromUtf8(process.readAllStandardError()))
                                     .toStdString());
    }
    return QString::fromUtf8(process.readAllStandardOutput());
}

QProcessEnvironment cEnvironment() {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("C"));
    environment.remove(QStringLiteral("MDB_JET3_CHARSET"));
    environment.remove(QStringLiteral("MDBICONV"));
    return environment;
}

// mdb-export's CSV: fields quoted with doubled quotes inside, line breaks
// within quotes kept.
std::vector<QStringList> parseCsv(const QString& text) {
    std::vector<QStringList> rows;
    QStringList row;
    QString field;
    bool quoted = false;
    bool any = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (quoted) {
            if (c == QLatin1Char('"')) {
                if (i + 1 < text.size() && text.at(i + 1) == QLatin1Char('"')) {
                    field += c;
                    ++i;
                } else {
                    quoted = false;
                }
            } else {
                field += c;
            }
        } else if (c == QLatin1Char('"')) {
            quoted = true;
            any = true;
        } else if (c == QLatin1Char(',')) {
            row << field;
            field.clear();
        } else if (c == QLatin1Char('\n')) {
            row << field;
            rows.push_back(row);
            row.clear();
            field.clear();
            any = false;
        } else {
            field += c;
            any = true;
        }
    }
    if (any || !row.isEmpty()) {
        row << field;
        rows.push_back(row);
    }
    return rows;
}

} // namespace

QString mdbFixture(const QString& name) {
    return QDir(QStringLiteral(VELMORAN_MDB_FIXTURES)).filePath(name);
}

QByteArray readFixture(const QString& name) {
    QFile file(mdbFixture(name));
    if (!file.open(QIODevice::ReadOnly)) {
        throw std::runtime_error(("fixture missing: " + file.fileName()).toStdString());
    }
    return file.readAll();
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(bytes) != bytes.size()) {
        throw std::runtime_error(("can't write " + path).toStdString());
    }
}

void renameJet4(QByteArray& file, const QString& from, const QString& to) {
    if (to.size() > from.size() || !file.contains(utf16(from))) {
        throw std::runtime_error(("can't rename " + from).toStdString());
    }
    QString padded = to;
    padded.append(QString(from.size() - to.size(), QChar(0)));
    file.replace(utf16(from), utf16(padded));
}

QByteArray listingsMdb() {
    QByteArray file = readFixture(QStringLiteral("testUnicodeCompV2003.mdb"));
    renameJet4(file, QStringLiteral("Table"), QStringLiteral("new"));
    renameJet4(file, QStringLiteral("Unicode"), QStringLiteral("malek"));
    return file;
}

QByteArray passwordMdb() {
    QByteArray file = readFixture(QStringLiteral("test2V2000.mdb"));
    renameJet4(file, QStringLiteral("MSP_PROJECTS"), QStringLiteral("pc"));
    renameJet4(file, QStringLiteral("PROJ_PROP_AUTHOR"), QStringLiteral("passsecurity"));
    return file;
}

QString arabicText() {
    return QStringLiteral("پاركينگ");
}

QByteArray jet3WithArabicText(int codePage) {
    QByteArray file = readFixture(QStringLiteral("testV1997.mdb"));
    // پ ا ر ك ي ن گ in Windows-1256, as long as "abcdefg".
    const QByteArray arabic("\x81\xc7\xd1\xdf\xed\xe4\x90", 7);
    if (file.count("abcdefg") != 1) {
        throw std::runtime_error("testV1997.mdb is not the expected fixture");
    }
    file.replace("abcdefg", arabic);
    auto* page = reinterpret_cast<unsigned char*>(file.data());
    import::unmaskHeader(page, 3);
    page[0x3c] = static_cast<unsigned char>(codePage & 0xff);
    page[0x3d] = static_cast<unsigned char>(codePage >> 8);
    import::unmaskHeader(page, 3);
    return file;
}

std::vector<QStringList> mdbExport(const QString& file, const QString& table,
                                   const QByteArray& jet3Charset) {
    QProcessEnvironment environment = cEnvironment();
    if (!jet3Charset.isEmpty()) {
        environment.insert(QStringLiteral("MDB_JET3_CHARSET"), QString::fromLatin1(jet3Charset));
    }
    return parseCsv(run(QStringLiteral("mdb-export"),
                        {QStringLiteral("-b"), QStringLiteral("strip"), file, table}, environment));
}

QStringList mdbTables(const QString& file) {
    return run(QStringLiteral("mdb-tables"), {QStringLiteral("-1"), file}, cEnvironment())
        .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

QStringList filesIn(const QString& folder) {
    QStringList files =
        QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
    // The folder's own lock file, which Windows' locks need (never removed:
    // another copy may hold it).
    files.removeAll(QStringLiteral(".velmoran.lock"));
    return files;
}

} // namespace velmoran::test
