#include "ui/filechooser.h"

#include <QFileDialog>

namespace velmoran::FileChooser {

namespace {

OpenFile& installed() {
    static OpenFile openFile;
    return openFile;
}

SaveFile& installedSave() {
    static SaveFile saveFile;
    return saveFile;
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

QString saveFile(QWidget* parent, const QString& title, const QString& suggested,
                 const QString& filter) {
    if (installedSave()) {
        return installedSave()(parent, title, suggested, filter);
    }
    QFileDialog dialog(parent, title, suggested, filter);
    dialog.setObjectName(QStringLiteral("FileChooserSaveDialog"));
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setLayoutDirection(Qt::RightToLeft);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return QString();
    }
    return dialog.selectedFiles().front();
}

void setSaveFile(SaveFile saveFile) {
    installedSave() = std::move(saveFile);
}

} // namespace velmoran::FileChooser
