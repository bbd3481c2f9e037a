#include "platform/print.h"

#include <QDir>

namespace velmoran::Print {

namespace {
std::shared_ptr<Backend>& current() {
    static std::shared_ptr<Backend> instance;
    return instance;
}
} // namespace

Outcome printPage(const Page& page, const QString& title) {
    if (!current()) {
        Outcome outcome;
        outcome.problem = QStringLiteral("امكان چاپ در اين برنامه فراهم نشده است.");
        return outcome;
    }
    return current()->printPage(page, title);
}

void setBackend(std::shared_ptr<Backend> backend) {
    current() = std::move(backend);
}

std::shared_ptr<Backend> backend() {
    return current();
}

namespace {

// A path or a foreign text on its own direction inside a Persian sentence;
// a path as this system writes it.
QString isolated(const QString& text) {
    return QChar(u'\u2068') + text + QChar(u'\u2069');
}

} // namespace

QString outcomeMessage(const Outcome& outcome) {
    switch (outcome.kind) {
    case Outcome::Printed:
        return QString();
    case Outcome::SavedAsPdf:
        return QStringLiteral("چاپگري براي اين رايانه تعريف نشده است. تصوير فرم در اين فايل "
                              "ذخيره شد:\n%1")
            .arg(isolated(QDir::toNativeSeparators(outcome.where)));
    case Outcome::Failed:
        break;
    }
    return QStringLiteral("فرم چاپ نشد.\n%1").arg(isolated(outcome.problem));
}

} // namespace velmoran::Print
