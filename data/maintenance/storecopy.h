#pragma once

#include <QString>

#include <functional>
#include <stdexcept>

namespace velmoran {

// Moving an agency's store between the data folder's SQLite files and a
// PostgreSQL server, both ways. Every row is copied exactly, with its id (so
// the order of the listings is kept), and the ids handed out so far go along:
// an id deleted on one side is not given again on the other.

struct CopyCounts {
    long long listings = 0;   // rows of table new
    long long passwords = 0;  // rows of table pc
    long long applicants = 0; // rows of table applicants (applicants.h)
};

struct CopyOptions {
    // Copy into a store that holds rows: they are replaced. Without it such a
    // store is refused (CopyError::Kind::NotEmpty) and left as it was.
    bool replace = false;
    // Told after every few thousand rows: the rows copied so far.
    std::function<void(long long rows)> progress;
};

class CopyError : public std::runtime_error {
public:
    enum class Kind {
        NotEmpty, // the target holds rows and replace was not given
        Failed,   // the source or the target failed; nothing was changed
    };
    CopyError(Kind kind, const QString& message);
    Kind kind() const { return kind_; }
    // Persian, naming the file or the server and the problem.
    const QString& message() const { return message_; }

private:
    Kind kind_;
    QString message_;
};

// Copies newil.db and pc.db of `folder` into the tables of the server
// `conninfo` (created there when missing), in one transaction: either every
// row is there afterwards or nothing changed. The applicants kept in newil.db
// go along (none from a file made before them). The server's store counts as
// empty when tables new and applicants have no row and table pc no password.
// Throws CopyError.
CopyCounts copyToServer(const QString& folder, const QString& conninfo,
                        const CopyOptions& options = {});

// Writes the tables of the server `conninfo`, as one snapshot, into newil.db
// (its applicants too; none from a server without their table)
// and pc.db of `folder` (which is created when missing), files of the
// structure the program creates. Existing files are refused unless replace,
// which keeps each beside as <name>.before-copy-<time>. Nothing is left in
// the folder when it fails. Throws CopyError.
CopyCounts copyFromServer(const QString& conninfo, const QString& folder,
                          const CopyOptions& options = {});

} // namespace velmoran
