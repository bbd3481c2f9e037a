#include "data/store/storelocation.h"

#include "data/folder/datafolder.h"
#include "data/postgres/pgschema.h"
#include "data/postgres/pgstore.h"
#include "data/postgres/pgmessages.h"
#include "data/sqlite/sqlitestore.h"
#include "data/sqlite/sqlitefile.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStringList>

#include <optional>

namespace velmoran {

namespace {
std::optional<StoreLocation> chosen;
}

QString configFilePath() {
    QString base = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (base.isEmpty()) {
        base = QDir::homePath() + QStringLiteral("/.config");
    }
    return base + QStringLiteral("/velmoran/velmoran.conf");
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
    return store.onServer() ? prepareServerStore(store.server, tableSpec)
                            : prepareStore(store.folder, tableSpec);
}

std::unique_ptr<TableStore> openTableStore(const StoreLocation& store, const TableSpec& tableSpec) {
    if (store.onServer()) {
        return std::make_unique<PgTableStore>(store.server, tableSpec);
    }
    return std::make_unique<SqliteTableStore>(store.folder, tableSpec);
}

} // namespace velmoran
