#include "data/store/storelocation.h"

#include "data/core/storemessages.h"
#include "data/folder/datafolder.h"
#include "data/postgres/pgconnection.h"
#include "data/postgres/pgschema.h"
#include "data/postgres/pgstore.h"
#include "data/sqlite/sqlite.h"
#include "data/sqlite/sqlitefile.h"
#include "data/sqlite/sqlitestore.h"
#include "data/store/writegate.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStringList>

#include <optional>
#include <utility>

namespace velmoran {

namespace {

std::optional<StoreLocation> chosen;

// The configuration file at `path` can't be used, `why` (Persian).
QString configMessage(const QString& path, const QString& why) {
    return QStringLiteral("فايل تنظيمات %1 %2.").arg(isolatedPath(path), why);
}

} // namespace

QString configFilePath() {
    return configFolder() + QStringLiteral("/velmoran/velmoran.conf");
}

StoreLocation configuredStore(QString* problem) {
    StoreLocation store{dataFolder(), QString()};
    const QString path = configFilePath();
    const QFileInfo info(path);
    if (!info.exists()) {
        return store;
    }
    if (!info.isFile() || !info.isReadable()) {
        *problem = configMessage(path, QStringLiteral("خواندني نيست"));
        return store;
    }
    QSettings settings(path, QSettings::IniFormat);
    const QVariant value = settings.value(QStringLiteral("store/server"));
    if (settings.status() != QSettings::NoError) {
        *problem = configMessage(path, QStringLiteral("قالب آن درست نيست"));
        return store;
    }
    // An unquoted value with commas (several hosts) comes back as a list.
    store.server = value.metaType().id() == QMetaType::QStringList
                       ? value.toStringList().join(QLatin1Char(','))
                       : value.toString();
    store.server = store.server.trimmed();
    return store;
}

StoreLocation activeStore() {
    return chosen ? *chosen : StoreLocation{dataFolder(), QString()};
}

void setActiveStore(const StoreLocation& store) {
    chosen = store;
}

void clearActiveStore() {
    chosen.reset();
}

QString prepareStore(const StoreLocation& store, const TableSpec& tableSpec) {
    return store.onServer() ? preparePgStore(store.server, tableSpec)
                            : prepareStoreFile(store.folder, tableSpec);
}

std::unique_ptr<TableStore> openTableStore(const StoreLocation& store, const TableSpec& tableSpec,
                                           StoreAccess access) {
    std::unique_ptr<TableStore> table;
    if (store.onServer()) {
        table = std::make_unique<PgTableStore>(store.server, tableSpec);
    } else {
        table = std::make_unique<SqliteTableStore>(store.folder, tableSpec, access);
    }
    // Whatever writes through the table passes the write gate first.
    return access == StoreAccess::ReadWrite ? gatedTableStore(std::move(table), store)
                                            : std::move(table);
}

void setStoreBusyWait(std::function<void()> wait) {
    sql::setBusyWait(wait);
    pg::setBusyWait(std::move(wait));
}

} // namespace velmoran
