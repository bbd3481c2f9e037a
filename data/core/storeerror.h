#pragma once

#include <QString>

#include <stdexcept>

namespace velmoran {

// A failure of a store, of the record source over it or of a criterion: the
// file or the server can't be opened or written, a criterion can't be
// evaluated, an operation without a current row. The message is Persian,
// ready to be shown, and names the file (or the server and the table) and
// the problem (with the engine's own message where there is one).
class StoreError : public std::runtime_error {
public:
    // Whose the failure was: the criterion handed in (the caller's input,
    // nothing searched), the store and its file, or a store that takes no
    // more writes this session (found damaged), so that what is typed can't
    // be stored by waiting and a screen may close without it, or a server
    // that did not answer within its deadline (nothing was done).
    enum class Kind { Store, Criterion, WritesStopped, NoAnswer };

    explicit StoreError(const QString& message, Kind kind = Kind::Store);
    const QString& message() const { return message_; }
    Kind kind() const { return kind_; }

private:
    QString message_;
    Kind kind_;
};

} // namespace velmoran
