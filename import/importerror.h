#pragma once

#include <QString>

#include <stdexcept>

namespace velmoran::import {

// What can go wrong when an Access file is brought over.
enum class ImportProblem {
    CannotRead,         // detail: the system's text
    NotAccess,          //
    UnsupportedVersion, // detail: the version found
    Truncated,          // detail: what is missing
    Encrypted,          //
    Damaged,            // detail: what could not be read
    NoTable,            // detail: the table looked for
    TargetExists,       // detail: the file that would be replaced
    CannotStore,        // detail: the system's or SQLite's text
    Interrupted,        // detail: how the reading ended
    Unreadable,         // detail: how the reading library failed on it
};

// The Persian message for `problem` with the file at `path`.
QString importMessage(ImportProblem problem, const QString& path, const QString& detail = {});

// A failure of the import, carrying its Persian message.
class ImportError : public std::runtime_error {
public:
    ImportError(ImportProblem problem, const QString& path, const QString& detail = {});
    ImportProblem problem() const { return problem_; }
    const QString& path() const { return path_; }
    const QString& message() const { return message_; }

private:
    ImportProblem problem_;
    QString path_;
    QString message_;
};

} // namespace velmoran::import
