#include "import/importprotocol.h"

#include "data/core/fields.h"

#include <QDir>
#include <QFileInfo>

namespace velmoran::import {

namespace protocol {

QString line(const char* word, const QString& payload) {
    QString flat = payload;
    flat.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
    return QLatin1String(word) + QLatin1Char(' ') + flat;
}

Message parse(const QString& line) {
    if (!line.startsWith(QLatin1Char('@'))) {
        return {};
    }
    const qsizetype blank = line.indexOf(QLatin1Char(' '));
    if (blank < 0) {
        return {line, QString()};
    }
    return {line.left(blank), line.mid(blank + 1)};
}

} // namespace protocol

namespace {

// The Access file for the store `tableSpec` when the store is missing.
QString waiting(const QDir& folder, const QDir& source, const TableSpec& tableSpec) {
    const QString store = QString::fromUtf8(tableSpec.fileName);
    if (QFileInfo::exists(folder.filePath(store))) {
        return QString();
    }
    const QString access = QFileInfo(store).completeBaseName() + QStringLiteral(".mdb");
    const QStringList files = source.entryList(QDir::Files | QDir::Hidden);
    for (const QString& file : files) {
        if (file.compare(access, Qt::CaseInsensitive) == 0) {
            return source.filePath(file);
        }
    }
    return QString();
}

} // namespace

PendingImports pendingImports(const QString& folder, const QString& source) {
    const QDir dir(folder);
    const QDir from(source.isEmpty() ? folder : source);
    return {waiting(dir, from, listingsTable()), waiting(dir, from, passwordTable())};
}

} // namespace velmoran::import
