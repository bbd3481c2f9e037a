#include "platform/widgets/qttranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace velmoran {

QString installQtTranslations() {
    const QLocale persian(QLocale::Persian, QLocale::Iran);
    const QString folders[] = {
        QCoreApplication::applicationDirPath() + QStringLiteral("/translations"),
        QLibraryInfo::path(QLibraryInfo::TranslationsPath),
    };
    for (const QString& folder : folders) {
        auto* translator = new QTranslator(QCoreApplication::instance());
        if (translator->load(persian, QStringLiteral("qtbase"), QStringLiteral("_"), folder) &&
            QCoreApplication::installTranslator(translator)) {
            return translator->filePath();
        }
        delete translator;
    }
    return {};
}

} // namespace velmoran
