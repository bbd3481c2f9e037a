#include "data/postgres/pgconnection.h"
#include "data/postgres/pgsocket.h"

#include <QDir>
#include <QElapsedTimer>
#include <QStringDecoder>
#include <QStringList>

#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstring>
#include <thread>
#include <utility>

namespace velmoran::pg {

namespace {

// How long a lost commit's outcome is asked after, and how often.
constexpr int kCommitAnswerWait = 20000; // ms
constexpr int kCommitAskAgain = 200;     // ms

BusyWait& busyWait() {
    static BusyWait wait;
    return wait;
}

// Sleeps `milliseconds`, running the program's busy wait meanwhile.
void waitAWhile(int milliseconds) {
    QElapsedTimer slept;
    slept.start();
    while (slept.elapsed() < milliseconds) {
        if (busyWait()) {
            busyWait()();
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

// Waits until `fd` is ready for `events` or 20 ms have passed, running the
// program's busy wait meanwhile.
void waitForSocket(int fd, bool forWrite) {
    waitSocket(fd, forWrite, 20);
    if (busyWait()) {
        busyWait()();
    }
}

// Asks the server to stop the statement under way, on a thread of its own:
// a server that does not answer may not take the request either.
void cancelInBackground(PGconn* conn) {
    if (PGcancel* cancel = PQgetCancel(conn)) {
        std::thread([cancel] {
            char error[256];
            PQcancel(cancel, error, sizeof error);
            PQfreeCancel(cancel);
        }).detach();
    }
}

// The settings the program gives every connection before the user's string,
// which may override each: a name for the server's activity view, a bounded
// wait for the server, and a lost network noticed within about 20 s.
const char* const kDefaults[][2] = {
    {"fallback_application_name", "velmoran"},
    {"keepalives_idle", "10"},
    {"keepalives_interval", "5"},
    {"keepalives_count", "2"},
    {"tcp_user_timeout", "10000"},
};

QString trimmedMessage(const char* message) {
    return QString::fromUtf8(message ? message : "").trimmed();
}

bool lostState(const QByteArray& state) {
    // Connection exceptions, and the server shutting down or starting up.
    return state.startsWith("08") || state == "57P01" || state == "57P02" || state == "57P03";
}

void ignoreNotice(void*, const char*) {}

// libpq's (or the system's) words for a server that can't be reached: in
// English, and the system's in the user's language.
bool unreachableText(const QString& message) {
    static const char* const english[] = {
        "Connection refused",     "No such file or directory",
        "timeout expired",        "could not translate host name",
        "Network is unreachable", "No route to host",
        "Connection timed out",   "could not connect to server",
    };
    for (const char* words : english) {
        if (message.contains(QLatin1String(words), Qt::CaseInsensitive)) {
            return true;
        }
    }
    for (int error : {ECONNREFUSED, ENOENT, ETIMEDOUT, ENETUNREACH, EHOSTUNREACH}) {
        if (message.contains(QString::fromLocal8Bit(std::strerror(error)))) {
            return true;
        }
    }
    return false;
}

QString optionValue(PGconn* conn, const char* keyword) {
    QString value;
    if (PQconninfoOption* options = PQconninfo(conn)) {
        for (PQconninfoOption* o = options; o->keyword; ++o) {
            if (qstrcmp(o->keyword, keyword) == 0 && o->val) {
                value = QString::fromLocal8Bit(o->val);
            }
        }
        PQconninfoFree(options);
    }
    return value;
}

// The password file libpq reads: the connection's passfile, $PGPASSFILE,
// or .pgpass in the home folder.
QString passwordFile(PGconn* conn) {
    QString file = optionValue(conn, "passfile");
    if (file.isEmpty()) {
        file = qEnvironmentVariable("PGPASSFILE");
    }
    if (file.isEmpty()) {
        file = QDir::homePath() + QStringLiteral("/.pgpass");
    }
    return file;
}

// Why the connection `conn` failed with `message`. libpq refuses a password
// file that others may read (it warns on the error output and goes on
// without it), so a file with group or other bits is the cause when the
// server wanted a password.
ConnectFacts connectFacts(PGconn* conn, const QString& message) {
    ConnectFacts facts;
    facts.host = QString::fromLocal8Bit(PQhost(conn));
    facts.port = QString::fromLocal8Bit(PQport(conn));
    facts.user = QString::fromLocal8Bit(PQuser(conn));
    facts.passwordFile = passwordFile(conn);
    const std::optional<PasswordFile> file = passwordFileStatus(facts.passwordFile);
    if (file) {
        facts.passwordFileMode = file->mode;
    }
    if (message.contains(QLatin1String("password authentication failed"))) {
        facts.failure = ConnectFailure::WrongPassword;
    } else if (PQconnectionNeedsPassword(conn) ||
               message.contains(QLatin1String("no password supplied"))) {
        const bool refused = file && file->regular && (file->mode & 077);
        facts.failure = refused ? ConnectFailure::PasswordFileRefused : ConnectFailure::NoPassword;
    } else if (unreachableText(message)) {
        facts.failure = ConnectFailure::Unreachable;
    } else {
        facts.failure = ConnectFailure::Other;
    }
    return facts;
}

// The Error of the connection `conn` that failed.
Error connectError(PGconn* conn) {
    const QString message = trimmedMessage(PQerrorMessage(conn));
    return Error(message, connectFacts(conn, message));
}

// How long a connection is waited for where the user's settings say nothing
// and no deadline is set.
constexpr int kConnectWait = 10000; // ms

PGconn* connect(const QString& conninfo, int deadline) {
    std::vector<const char*> keys;
    std::vector<const char*> values;
    for (const auto& setting : kDefaults) {
        keys.push_back(setting[0]);
        values.push_back(setting[1]);
    }
    const QByteArray info = conninfo.toUtf8();
    keys.push_back("dbname"); // expanded: the whole connection string
    values.push_back(info.constData());
    keys.push_back("client_encoding"); // after the string: always UTF-8
    values.push_back("UTF8");
    keys.push_back(nullptr);
    values.push_back(nullptr);
    // Connected without blocking, so the windows paint while the server is
    // reached; bounded for a server that takes the connection and never
    // answers.
    PGconn* conn = PQconnectStartParams(keys.data(), values.data(), 1);
    if (!conn || PQstatus(conn) == CONNECTION_BAD) {
        return conn;
    }
    const int timeout = !qEnvironmentVariableIsEmpty("PGCONNECT_TIMEOUT")
                            ? qEnvironmentVariableIntValue("PGCONNECT_TIMEOUT") * 1000
                        : deadline > 0 ? deadline
                                       : kConnectWait;
    QElapsedTimer waited;
    waited.start();
    PostgresPollingStatusType polling = PGRES_POLLING_WRITING;
    while (polling != PGRES_POLLING_OK && polling != PGRES_POLLING_FAILED) {
        if (waited.elapsed() >= timeout) {
            PQfinish(conn);
            return nullptr;
        }
        waitForSocket(PQsocket(conn), polling != PGRES_POLLING_READING);
        polling = PQconnectPoll(conn);
    }
    return conn;
}

} // namespace

namespace {

struct RawParams {
    explicit RawParams(const Params& params) {
        for (const std::optional<QByteArray>& p : params) {
            values.push_back(p ? p->constData() : nullptr);
        }
    }
    int count() const { return static_cast<int>(values.size()); }
    std::vector<const char*> values;
};

} // namespace

Error::Error(const QString& message, const QByteArray& sqlState, bool connectionLost,
             bool uncertain, bool timedOut)
    : std::runtime_error(message.toStdString()), text_(message), sqlState_(sqlState),
      connectionLost_(connectionLost), uncertain_(uncertain), timedOut_(timedOut) {}

Error::Error(const QString& message, const ConnectFacts& facts)
    : Error(message, QByteArray(), true) {
    facts_ = facts;
}

Result::~Result() {
    PQclear(result_);
}

Result::Result(Result&& other) noexcept : result_(std::exchange(other.result_, nullptr)) {}

Result& Result::operator=(Result&& other) noexcept {
    if (this != &other) {
        PQclear(result_);
        result_ = std::exchange(other.result_, nullptr);
    }
    return *this;
}

int Result::rows() const {
    return PQntuples(result_);
}

bool Result::isNull(int row, int column) const {
    return PQgetisnull(result_, row, column) != 0;
}

QString Result::text(int row, int column) const {
    // Exactly as stored: QString::fromUtf8 would drop a leading U+FEFF.
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
    return utf8(
        QByteArrayView(PQgetvalue(result_, row, column), PQgetlength(result_, row, column)));
}

long long Result::integer(int row, int column) const {
    return QByteArray(PQgetvalue(result_, row, column), PQgetlength(result_, row, column))
        .toLongLong();
}

long long Result::affected() const {
    return QByteArray(PQcmdTuples(result_)).toLongLong();
}

Connection::Connection(const QString& conninfo, int deadline)
    : conninfo_(conninfo), deadline_(deadline) {
    open();
}

void Connection::open() {
    conn_ = connect(conninfo_, deadline_);
    if (!conn_) {
        throw Error(QStringLiteral("timeout expired"), QByteArray(), true, false, true);
    }
    if (PQstatus(conn_) != CONNECTION_OK) {
        const Error error = connectError(conn_);
        PQfinish(conn_);
        conn_ = nullptr;
        throw error;
    }
    PQsetNoticeProcessor(conn_, ignoreNotice, nullptr);
}

Connection::~Connection() {
    PQfinish(conn_);
}

Connection::Connection(Connection&& other) noexcept
    : conn_(std::exchange(other.conn_, nullptr)), conninfo_(std::move(other.conninfo_)),
      deadline_(other.deadline_), generation_(other.generation_) {}

Connection& Connection::operator=(Connection&& other) noexcept {
    if (this != &other) {
        PQfinish(conn_);
        conn_ = std::exchange(other.conn_, nullptr);
        conninfo_ = std::move(other.conninfo_);
        deadline_ = other.deadline_;
        generation_ = other.generation_;
    }
    return *this;
}

void Connection::fail(PGresult* result) const {
    const QByteArray state =
        result ? QByteArray(PQresultErrorField(result, PG_DIAG_SQLSTATE)) : QByteArray();
    QString message =
        result ? trimmedMessage(PQresultErrorField(result, PG_DIAG_MESSAGE_PRIMARY)) : QString();
    if (message.isEmpty()) {
        message = trimmedMessage(PQerrorMessage(conn_));
    }
    const bool lost = PQstatus(conn_) == CONNECTION_BAD || lostState(state);
    PQclear(result);
    throw Error(message, state, lost);
}

Result Connection::checked(PGresult* result) const {
    const ExecStatusType status = result ? PQresultStatus(result) : PGRES_FATAL_ERROR;
    if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK) {
        fail(result);
    }
    return Result(result);
}

Result Connection::answer(int sent) {
    if (!conn_ || !sent) {
        fail(nullptr);
    }
    QElapsedTimer waited;
    waited.start();
    while (PQconsumeInput(conn_) && PQisBusy(conn_)) {
        if (deadline_ > 0 && waited.elapsed() >= deadline_) {
            // No answer: the statement is cancelled and the connection let
            // go (what it holds the server ends with it); the next
            // operation connects anew.
            cancelInBackground(conn_);
            PQfinish(conn_);
            conn_ = nullptr;
            throw Error(QStringLiteral("no answer within %1 ms").arg(deadline_),
                        QByteArray("57014"), false, false, true);
        }
        waitForSocket(PQsocket(conn_), false);
    }
    // The last result of the statements sent, as PQexec gives it.
    PGresult* last = nullptr;
    while (PGresult* result = PQgetResult(conn_)) {
        PQclear(last);
        last = result;
    }
    return checked(last);
}

Result Connection::exec(const char* sql) {
    return answer(conn_ ? PQsendQuery(conn_, sql) : 0);
}

Result Connection::exec(const QString& sql, const Params& params) {
    const RawParams raw(params);
    return answer(conn_ ? PQsendQueryParams(conn_, sql.toUtf8().constData(), raw.count(), nullptr,
                                            raw.values.data(), nullptr, nullptr, 0)
                        : 0);
}

void Connection::prepare(const QByteArray& name, const QString& sql) {
    answer(conn_ ? PQsendPrepare(conn_, name.constData(), sql.toUtf8().constData(), 0, nullptr)
                 : 0);
}

Result Connection::execPrepared(const QByteArray& name, const Params& params) {
    const RawParams raw(params);
    return answer(conn_ ? PQsendQueryPrepared(conn_, name.constData(), raw.count(),
                                              raw.values.data(), nullptr, nullptr, 0)
                        : 0);
}

void Connection::copyIn(const QString& sql) {
    PGresult* result = PQexec(conn_, sql.toUtf8().constData());
    if (!result || PQresultStatus(result) != PGRES_COPY_IN) {
        fail(result);
    }
    PQclear(result);
}

void Connection::putCopyData(const QByteArray& data) {
    if (PQputCopyData(conn_, data.constData(), static_cast<int>(data.size())) != 1) {
        fail(nullptr);
    }
}

void Connection::endCopy() {
    if (PQputCopyEnd(conn_, nullptr) != 1) {
        fail(nullptr);
    }
    Result last;
    while (PGresult* result = PQgetResult(conn_)) {
        if (PQresultStatus(result) != PGRES_COMMAND_OK) {
            while (PGresult* rest = PQgetResult(conn_)) {
                PQclear(rest);
            }
            fail(result);
        }
        last = Result(result);
    }
}

void Connection::abortCopy() {
    if (!conn_ || PQputCopyEnd(conn_, "cancelled") != 1) {
        return;
    }
    while (PGresult* result = PQgetResult(conn_)) {
        PQclear(result);
    }
}

void Connection::eachRow(const QString& sql, const Params& params,
                         const std::function<void(const Result&)>& row) {
    const RawParams raw(params);
    if (!PQsendQueryParams(conn_, sql.toUtf8().constData(), raw.count(), nullptr, raw.values.data(),
                           nullptr, nullptr, 0) ||
        !PQsetSingleRowMode(conn_)) {
        fail(nullptr);
    }
    std::optional<Error> failure;
    while (PGresult* result = PQgetResult(conn_)) {
        const ExecStatusType status = PQresultStatus(result);
        if (failure || (status != PGRES_SINGLE_TUPLE && status != PGRES_TUPLES_OK)) {
            if (!failure) {
                try {
                    fail(result); // frees it
                } catch (const Error& e) {
                    failure = e;
                }
            } else {
                PQclear(result);
            }
            continue;
        }
        const Result held(result);
        if (status == PGRES_SINGLE_TUPLE) {
            try {
                row(held);
            } catch (...) {
                // Drain the rest before the exception leaves.
                while (PGresult* rest = PQgetResult(conn_)) {
                    PQclear(rest);
                }
                throw;
            }
        }
    }
    if (failure) {
        throw *failure;
    }
}

bool Connection::stillThere() {
    if (PQstatus(conn_) != CONNECTION_OK) {
        return false;
    }
    // A server that went away left its farewell and the end of the stream
    // in the socket: read while there is something to read.
    for (int round = 0; round < 4; ++round) {
        if (!waitSocket(PQsocket(conn_), false, 0)) {
            break;
        }
        if (!PQconsumeInput(conn_) || PQstatus(conn_) != CONNECTION_OK) {
            return false;
        }
        while (PGnotify* notify = PQnotifies(conn_)) {
            PQfreemem(notify);
        }
    }
    return PQstatus(conn_) == CONNECTION_OK;
}

void Connection::reset() {
    ++generation_;
    PQfinish(conn_);
    conn_ = nullptr;
    open();
}

void setBusyWait(BusyWait wait) {
    busyWait() = std::move(wait);
}

Transaction::Transaction(Connection& connection) : connection_(connection) {
    // One round trip: the last statement's answer is the transaction's id.
    xid_ = connection_.exec("BEGIN; SELECT txid_current()").text(0, 0).toUtf8();
}

Transaction::~Transaction() {
    if (open_ && PQstatus(connection_.handle()) == CONNECTION_OK &&
        PQtransactionStatus(connection_.handle()) != PQTRANS_IDLE) {
        PQclear(PQexec(connection_.handle(), "ROLLBACK"));
    }
}

void Transaction::commit() {
    try {
        connection_.exec("COMMIT");
        open_ = false;
    } catch (const Error& e) {
        if (!e.connectionLost() && !e.timedOut()) {
            throw;
        }
        // The answer was lost: whether the commit was done is known to the
        // server, which a new connection asks. A server that crashed takes a
        // moment to recover, and a transaction another connection still
        // finishes is "in progress": asked again until it answers, within
        // kCommitAnswerWait, the windows painting meanwhile.
        open_ = false;
        QElapsedTimer waited;
        waited.start();
        for (;;) {
            QString status;
            try {
                if (!connection_.stillThere()) {
                    connection_.reset();
                }
                status = connection_
                             .exec(QStringLiteral("SELECT txid_status($1)"),
                                   {std::optional<QByteArray>(xid_)})
                             .text(0, 0);
            } catch (const Error& asked) {
                // A crash lost even the transaction's start: after recovery
                // its id lies "in the future", so it never committed.
                if (asked.sqlState() == "22023") {
                    status = QStringLiteral("aborted");
                }
            }
            if (status == QLatin1String("committed")) {
                return;
            }
            if (status == QLatin1String("aborted")) {
                throw;
            }
            if (waited.elapsed() >= kCommitAnswerWait) {
                break;
            }
            waitAWhile(kCommitAskAgain);
        }
        throw Error(e.text(), e.sqlState(), true, true);
    }
}

QByteArray param(long long value) {
    return QByteArray::number(value);
}

QByteArray param(const QString& value) {
    return value.toUtf8();
}

QByteArray realParam(double value) {
    if (std::isinf(value)) {
        return value < 0 ? QByteArray("-Infinity") : QByteArray("Infinity");
    }
    return QByteArray::number(value, 'g', 17); // exact round trip
}

QString placeholder(Params& params, const QByteArray& value, const char* type) {
    params.push_back(value);
    return QStringLiteral("$%1::%2").arg(params.size()).arg(QLatin1String(type));
}

QString displayName(const QString& conninfo) {
    char* error = nullptr;
    PQconninfoOption* options = PQconninfoParse(conninfo.toUtf8().constData(), &error);
    if (!options) {
        PQfreemem(error);
        return conninfo;
    }
    QStringList parts;
    for (PQconninfoOption* o = options; o->keyword; ++o) {
        if (o->val && *o->val && qstrcmp(o->keyword, "password") != 0) {
            parts << QStringLiteral("%1=%2").arg(QLatin1String(o->keyword),
                                                 QString::fromUtf8(o->val));
        }
    }
    PQconninfoFree(options);
    return parts.join(QLatin1Char(' '));
}

} // namespace velmoran::pg
