#include "ui/filechooser.h"

#include <QFileDialog>

namespace velmoran::FileChooser {

namespace {

OpenFile& installed() {
    static OpenFile openFile;
    return openFile;
}

} // namespace

QString openFile(QWidget* parent, const QString& title, const QString& filter) {
    if (installed()) {
        return installed()(parent, title, filter);
    }
    QFileDialog dialog(parent, title, QString(), filter);
    dialog.setObjectName(QStringLiteral("FileChooserDialog"));
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setLayoutDirection(Qt::RightToLeft);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return QString();
    }
    return dialog.selectedFiles().front();
}

void setOpenFile(OpenFile openFile) {
    installed() = std::move(openFile);
}

} // namespace velmoran::FileChooser
