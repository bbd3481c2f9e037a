#include "platform/systemvalues.h"

#include <QCryptographicHash>
#include <QFile>
#include <QMessageAuthenticationCode>
#include <QRegularExpression>

namespace velmoran::SystemValues {

namespace {

// The program's own key for its identifier on a machine (a fixed random
// number, as machine-id(5) advises for identifiers derived from it).
const QByteArray kProgramKey = QByteArray::fromHex("9c5101d3c88045ebb324fb47006541d1");

std::shared_ptr<Backend>& current() {
    static std::shared_ptr<Backend> instance = systemBackend();
    return instance;
}

} // namespace

std::optional<QString> shown(const QString& text) {
    QString line = text;
    for (const QChar end : {QChar(u'\0'), QChar(u'\n'), QChar(u'\r')}) {
        const qsizetype at = line.indexOf(end);
        if (at >= 0) {
            line.truncate(at);
        }
    }
    line = line.trimmed();
    if (line.isEmpty()) {
        return std::nullopt;
    }
    return line;
}

namespace {

// The contents of the first of `paths` that can be read.
std::optional<QByteArray> firstReadable(const QStringList& paths) {
    for (const QString& path : paths) {
        QFile file(path);
        if (file.open(QIODevice::ReadOnly)) {
            return file.readAll();
        }
    }
    return std::nullopt;
}

std::optional<QString> fileLine(const QString& path) {
    const std::optional<QByteArray> contents = firstReadable({path});
    return contents ? shown(QString::fromUtf8(*contents)) : std::nullopt;
}

// A shell-style value: double quotes (with backslash escapes), single quotes
// (literal) or bare.
QString unquote(const QString& raw) {
    QString value;
    QChar quote;
    for (qsizetype i = 0; i < raw.size(); ++i) {
        const QChar c = raw.at(i);
        if (quote.isNull()) {
            if (c == u'"' || c == u'\'') {
                quote = c;
            } else if (c == u'\\' && i + 1 < raw.size()) {
                value += raw.at(++i);
            } else {
                value += c;
            }
        } else if (c == quote) {
            quote = QChar();
        } else if (quote == u'"' && c == u'\\' && i + 1 < raw.size()) {
            value += raw.at(++i);
        } else {
            value += c;
        }
    }
    return value;
}

} // namespace

std::optional<QString> read(Value value) {
    return current()->read(value);
}

void setBackend(std::shared_ptr<Backend> backend) {
    current() = std::move(backend);
}

std::shared_ptr<Backend> backend() {
    return current();
}

std::optional<QString> osReleaseValue(const QByteArray& contents, const QString& key) {
    const QString prefix = key + u'=';
    for (const QString& rawLine : QString::fromUtf8(contents).split(u'\n')) {
        const QString line = rawLine.trimmed();
        if (line.startsWith(prefix)) {
            return unquote(line.mid(prefix.size()));
        }
    }
    return std::nullopt;
}

QString fullName(const Account& account) {
    QString name = account.gecos.section(u',', 0, 0);
    if (name.contains(u'&')) {
        QString login = account.loginName;
        if (!login.isEmpty()) {
            login[0] = login.at(0).toUpper();
        }
        name.replace(u'&', login);
    }
    return name.trimmed();
}

std::optional<QString> programIdOnMachine(const QByteArray& machineId) {
    const QByteArray id = machineId.trimmed().toLower();
    static const QRegularExpression hex(QStringLiteral("^[0-9a-f]{32}$"));
    if (!hex.match(QString::fromLatin1(id)).hasMatch() || id == QByteArray(32, '0')) {
        return std::nullopt;
    }
    const QByteArray code = QMessageAuthenticationCode::hash(kProgramKey, QByteArray::fromHex(id),
                                                             QCryptographicHash::Sha256);
    return QString::fromLatin1(code.left(16).toHex());
}

LinuxBackend::LinuxBackend(Sources sources) : sources_(std::move(sources)) {}

std::optional<QString> LinuxBackend::read(Value value) {
    switch (value) {
    case Value::ProductName: {
        const std::optional<QByteArray> osRelease = firstReadable(sources_.osReleaseFiles);
        if (!osRelease) {
            return std::nullopt;
        }
        for (const char* key : {"PRETTY_NAME", "NAME"}) {
            if (const std::optional<QString> name =
                    osReleaseValue(*osRelease, QString::fromLatin1(key))) {
                if (const std::optional<QString> line = shown(*name)) {
                    return line;
                }
            }
        }
        return std::nullopt;
    }
    case Value::ProductId: {
        const std::optional<QByteArray> machineId = firstReadable(sources_.machineIdFiles);
        return machineId ? programIdOnMachine(*machineId) : std::nullopt;
    }
    case Value::ProductKey:
        return fileLine(sources_.kernelReleaseFile);
    case Value::RegisteredOrganization:
        return fileLine(sources_.hostNameFile);
    case Value::RegisteredOwner: {
        const std::optional<Account> account = sources_.account ? sources_.account() : std::nullopt;
        if (!account) {
            return std::nullopt;
        }
        if (const std::optional<QString> name = shown(fullName(*account))) {
            return name;
        }
        return shown(account->loginName);
    }
    }
    return std::nullopt;
}

std::optional<QString> Fixed::read(Value value) {
    const auto it = values_.find(value);
    return it == values_.end() ? std::nullopt : it->second;
}

} // namespace velmoran::SystemValues
