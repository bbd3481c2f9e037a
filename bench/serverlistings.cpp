#include "bench/serverlistings.h"

#include "bench/listinggen.h"
#include "data/core/fields.h"
#include "data/core/priceindex.h"
#include "data/maintenance/storecopy.h"
#include "data/postgres/pgconnection.h"
#include "data/postgres/pgpriceindex.h"
#include "data/sqlite/sqlitefile.h"

#include <QDir>
#include <QFile>
#include <QProcess>

#include <cstdio>
#include <memory>
#include <stdexcept>

namespace velmoran::bench {

namespace {

// Bump when the loading changes, so an old cluster is not reused.
constexpr int kClusterVersion = 2;

QString cacheRoot() {
    const QString root = qEnvironmentVariable("VELMORAN_BENCH_CACHE");
    return root.isEmpty() ? QStringLiteral("/tmp/velmoran-bench") : root;
}

void runScript(const QStringList& arguments) {
    QProcess script;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("VELMORAN_PG_DURABLE"), QStringLiteral("1"));
    script.setProcessEnvironment(environment);
    script.setProcessChannelMode(QProcess::ForwardedChannels);
    script.start(QStringLiteral(VELMORAN_PGSERVER_SCRIPT), arguments);
    if (!script.waitForFinished(300000) || script.exitCode() != 0) {
        throw std::runtime_error("pgserver.sh " + arguments.join(' ').toStdString() + " failed");
    }
}

// The cluster, running while the benchmark does.
class Cluster {
public:
    Cluster()
        : info_(QStringLiteral("%1/pg-v%2.info").arg(cacheRoot()).arg(kClusterVersion)),
          dir_(QStringLiteral("%1/pg-v%2").arg(cacheRoot()).arg(kClusterVersion)) {
        // A server a run cut short left behind is stopped first by start.
        QDir().mkpath(cacheRoot());
        runScript({QStringLiteral("start"), info_, dir_});
        QFile info(info_);
        info.open(QIODevice::ReadOnly);
        base_ = QString::fromUtf8(info.readAll().split('\n').value(1));
        base_.remove(QStringLiteral(" dbname=postgres"));
    }
    ~Cluster() {
        try {
            runScript({QStringLiteral("stop"), info_});
        } catch (const std::exception&) {
        }
    }
    QString conninfo(const QString& database) const {
        return base_ + QStringLiteral(" dbname=") + database;
    }

private:
    QString info_;
    QString dir_;
    QString base_;
};

Cluster& cluster() {
    static Cluster running;
    return running;
}

} // namespace

double serverStoreMegabytes(const QString& conninfo) {
    return pg::Connection(conninfo)
               .exec("SELECT pg_total_relation_size('new')")
               .text(0, 0)
               .toDouble() /
           (1024.0 * 1024.0);
}

QString cachedServerListings(int rows, bool withPriceIndexes) {
    if (!withPriceIndexes) {
        cachedServerListings(rows, true); // the database it is copied from
        const QString name = QStringLiteral("listings_%1_plain").arg(rows);
        pg::Connection admin(cluster().conninfo(QStringLiteral("postgres")));
        const bool made = admin
                              .exec(QStringLiteral("SELECT 1 FROM pg_database WHERE datname = $1"),
                                    {pg::param(name)})
                              .rows() == 1;
        if (!made) {
            const QString building = name + QStringLiteral("_building");
            admin.exec(QStringLiteral("DROP DATABASE IF EXISTS %1").arg(building), {});
            admin.exec(
                QStringLiteral("CREATE DATABASE %1 TEMPLATE listings_%2").arg(building).arg(rows),
                {});
            {
                pg::Connection plain(cluster().conninfo(building));
                plain.exec(QStringLiteral("DROP FUNCTION %1(text) CASCADE")
                               .arg(QLatin1String(kPgNumberFunction)),
                           {});
                plain.exec("VACUUM ANALYZE");
            }
            admin.exec(QStringLiteral("ALTER DATABASE %1 RENAME TO %2").arg(building, name), {});
        }
        return cluster().conninfo(name);
    }
    const QString name = QStringLiteral("listings_%1").arg(rows);
    const QString conninfo = cluster().conninfo(name);
    pg::Connection admin(cluster().conninfo(QStringLiteral("postgres")));
    const bool loaded =
        admin
            .exec(QStringLiteral("SELECT 1 FROM pg_database WHERE datname = $1"), {pg::param(name)})
            .rows() == 1;
    if (loaded) {
        return conninfo;
    }
    const QString folder = cachedListings(rows);
    // The copy takes the password file too; the generated folder has none.
    const QString problem = prepareStoreFile(folder, passwordTable());
    if (!problem.isEmpty()) {
        throw std::runtime_error(problem.toStdString());
    }
    std::fprintf(stderr, "copying %d listings up to the benchmark's server ...\n", rows);
    const QString building = name + QStringLiteral("_building");
    admin.exec(QStringLiteral("DROP DATABASE IF EXISTS %1").arg(building), {});
    admin.exec(QStringLiteral("CREATE DATABASE %1").arg(building), {});
    copyToServer(folder, cluster().conninfo(building));
    pg::Connection(cluster().conninfo(building)).exec("VACUUM ANALYZE");
    admin.exec(QStringLiteral("ALTER DATABASE %1 RENAME TO %2").arg(building, name), {});
    return conninfo;
}

} // namespace velmoran::bench
