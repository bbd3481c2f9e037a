#include "data/sqlite/sqlite.h"

#include "data/core/fields.h"

#include <QElapsedTimer>
#include <QStringDecoder>

#include <utility>

namespace velmoran::sql {

namespace {

BusyWait& busyWait() {
    static BusyWait wait;
    return wait;
}

// Between two tries at another copy's lock.
constexpr int kBusyStepMs = 10;

} // namespace

void setBusyWait(BusyWait wait) {
    busyWait() = std::move(wait);
}

// The wait for another copy's lock: tried again every few milliseconds
// until the timeout, the program's BusyWait run between the tries.
struct Database::BusyState {
    int timeoutMs = 0;
    QElapsedTimer waited;

    static int handler(void* state, int count) {
        auto* self = static_cast<BusyState*>(state);
        if (count == 0) {
            self->waited.start();
        }
        if (self->waited.elapsed() >= self->timeoutMs) {
            return 0;
        }
        if (const BusyWait& wait = busyWait()) {
            wait();
        }
        sqlite3_sleep(kBusyStepMs);
        return 1;
    }
};

Error::Error(int code, const std::string& message, int systemError)
    : std::runtime_error(message), code_(code), systemError_(systemError) {}

StoreCause Error::cause() const {
    switch (code_ & 0xff) {
    case SQLITE_NOTADB:
    case SQLITE_CORRUPT:
        return StoreCause::NotADatabase;
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return StoreCause::Locked;
    case SQLITE_PERM:
    case SQLITE_AUTH:
        return StoreCause::NoPermission;
    case SQLITE_FULL:
        return StoreCause::DiskFull;
    case SQLITE_READONLY:
        return StoreCause::ReadOnly;
    case SQLITE_CANTOPEN:
    case SQLITE_IOERR:
        return causeOfSystemError(systemError_);
    default:
        return StoreCause::Other;
    }
}

Database::Database(const QString& path, int flags) {
    const int rc = sqlite3_open_v2(path.toUtf8().constData(), &db_, flags, nullptr);
    if (rc != SQLITE_OK) {
        // The handle carries the message even when the open failed.
        const std::string message = db_ ? sqlite3_errmsg(db_) : sqlite3_errstr(rc);
        const int systemError = db_ ? sqlite3_system_errno(db_) : 0;
        sqlite3_close(db_);
        db_ = nullptr;
        throw Error(rc, message, systemError);
    }
    sqlite3_extended_result_codes(db_, 1);
}

Database::Database() = default;

Database Database::readOnly(const QString& path) {
    Database db(path, SQLITE_OPEN_READONLY);
    db.keepJournal();
    return db;
}

void Database::keepJournal() {
    sqlite3_db_config(db_, SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 1, nullptr);
}

Database::~Database() {
    close();
}

Database::Database(Database&& other) noexcept
    : db_(std::exchange(other.db_, nullptr)), busy_(std::move(other.busy_)) {}

Database& Database::operator=(Database&& other) noexcept {
    if (this != &other) {
        close();
        db_ = std::exchange(other.db_, nullptr);
        busy_ = std::move(other.busy_);
    }
    return *this;
}

void Database::close() {
    if (db_) {
        // Statements are owned by their wrappers, which the owner destroys
        // first; close_v2 copes with any still open.
        sqlite3_close_v2(db_);
        db_ = nullptr;
    }
}

void Database::exec(const char* sql) {
    char* message = nullptr;
    const int rc = sqlite3_exec(db_, sql, nullptr, nullptr, &message);
    if (rc != SQLITE_OK) {
        const std::string text = message ? message : sqlite3_errstr(rc);
        sqlite3_free(message);
        throw Error(rc, text);
    }
}

Statement Database::prepare(const QString& sql) {
    return Statement(db_, sql);
}

void Database::setBusyTimeout(int milliseconds) {
    if (!busy_) {
        busy_ = std::make_unique<BusyState>();
    }
    busy_->timeoutMs = milliseconds;
    sqlite3_busy_handler(db_, &BusyState::handler, busy_.get());
}

bool Database::isReadOnly() const {
    return sqlite3_db_readonly(db_, "main") == 1;
}

long long Database::lastInsertRowId() const {
    return sqlite3_last_insert_rowid(db_);
}

int Database::changes() const {
    return sqlite3_changes(db_);
}

bool Database::inTransaction() const {
    return sqlite3_get_autocommit(db_) == 0;
}

void Database::fail(int rc) const {
    throw Error(rc, sqlite3_errmsg(db_), sqlite3_system_errno(db_));
}

Statement::Statement(sqlite3* db, const QString& sql) {
    const QByteArray text = sql.toUtf8();
    const char* tail = nullptr;
    const int rc = sqlite3_prepare_v3(db, text.constData(), static_cast<int>(text.size()),
                                      SQLITE_PREPARE_PERSISTENT, &stmt_, &tail);
    if (rc != SQLITE_OK) {
        throw Error(rc, sqlite3_errmsg(db));
    }
    if (!stmt_) {
        throw Error(SQLITE_MISUSE, "empty statement");
    }
    // One statement per prepare: anything after it is refused.
    for (; tail && *tail; ++tail) {
        if (*tail != ' ' && *tail != '\n' && *tail != '\t' && *tail != ';') {
            sqlite3_finalize(stmt_);
            stmt_ = nullptr;
            throw Error(SQLITE_MISUSE, "more than one statement");
        }
    }
}

Statement::~Statement() {
    sqlite3_finalize(stmt_);
}

Statement::Statement(Statement&& other) noexcept : stmt_(std::exchange(other.stmt_, nullptr)) {}

Statement& Statement::operator=(Statement&& other) noexcept {
    if (this != &other) {
        sqlite3_finalize(stmt_);
        stmt_ = std::exchange(other.stmt_, nullptr);
    }
    return *this;
}

void Statement::bindText(int index, const QString& value) {
    bindText(index, value.toStdString());
}

void Statement::bindText(int index, const std::string& utf8) {
    const int rc =
        sqlite3_bind_text64(stmt_, index, utf8.data(), utf8.size(), SQLITE_TRANSIENT, SQLITE_UTF8);
    if (rc != SQLITE_OK) {
        fail(rc);
    }
}

void Statement::bindInt(int index, long long value) {
    const int rc = sqlite3_bind_int64(stmt_, index, value);
    if (rc != SQLITE_OK) {
        fail(rc);
    }
}

void Statement::bindDouble(int index, double value) {
    const int rc = sqlite3_bind_double(stmt_, index, value);
    if (rc != SQLITE_OK) {
        fail(rc);
    }
}

bool Statement::step() {
    const int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW) {
        return true;
    }
    if (rc == SQLITE_DONE) {
        return false;
    }
    const Error error(rc, sqlite3_errmsg(sqlite3_db_handle(stmt_)));
    sqlite3_reset(stmt_);
    throw error;
}

void Statement::run() {
    ResetGuard guard(*this);
    while (step()) {
    }
}

void Statement::reset() {
    sqlite3_reset(stmt_);
}

int Statement::columnCount() const {
    return sqlite3_column_count(stmt_);
}

bool Statement::isNull(int column) const {
    return sqlite3_column_type(stmt_, column) == SQLITE_NULL;
}

QString Statement::columnText(int column) const {
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, column));
    if (!text) {
        return QString();
    }
    // Exactly as stored: QString::fromUtf8 would drop a leading U+FEFF.
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
    return utf8(QByteArrayView(text, sqlite3_column_bytes(stmt_, column)));
}

long long Statement::columnInt(int column) const {
    return sqlite3_column_int64(stmt_, column);
}

void Statement::fail(int rc) const {
    sqlite3* db = sqlite3_db_handle(stmt_);
    throw Error(rc, sqlite3_errmsg(db), sqlite3_system_errno(db));
}

Transaction::Transaction(Database& db) : db_(db) {
    db_.exec("BEGIN IMMEDIATE");
}

Transaction::~Transaction() {
    if (open_ && db_.inTransaction()) {
        sqlite3_exec(db_.handle(), "ROLLBACK", nullptr, nullptr, nullptr);
    }
}

void Transaction::commit() {
    db_.exec("COMMIT");
    open_ = false;
}

QString quoted(const char* identifier) {
    return quotedIdentifier(identifier);
}

QString quoted(const QString& identifier) {
    return quotedIdentifier(identifier);
}

} // namespace velmoran::sql
