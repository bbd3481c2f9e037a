#include "platform/widgets/messageboxbackend.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

namespace velmoran::MessageBox {

QString okButtonText() {
    return QStringLiteral("تاييد");
}
QString yesButtonText() {
    return QStringLiteral("بله");
}
QString noButtonText() {
    return QStringLiteral("خير");
}

namespace {

QMessageBox::Icon iconOf(Icon icon) {
    switch (icon) {
    case Icon::Critical:
        return QMessageBox::Critical;
    case Icon::Exclamation:
        return QMessageBox::Warning;
    case Icon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

} // namespace

int QtBackend::show(const Request& request) {
    QMessageBox box(QApplication::activeWindow());
    box.setLayoutDirection(Qt::RightToLeft);
    box.setWindowModality(Qt::ApplicationModal);
    box.setTextFormat(Qt::PlainText);
    box.setText(request.text);
    box.setWindowTitle(request.title);
    box.setIcon(iconOf(request.icon));

    if (request.buttons == Buttons::YesNo) {
        QPushButton* yes = box.addButton(yesButtonText(), QMessageBox::YesRole);
        QPushButton* no = box.addButton(noButtonText(), QMessageBox::NoRole);
        yes->setObjectName(QStringLiteral("yesButton"));
        no->setObjectName(QStringLiteral("noButton"));
        box.setDefaultButton(yes);
        box.setEscapeButton(no);
        box.exec();
        return box.clickedButton() == yes ? vbYes : vbNo;
    }

    QPushButton* ok = box.addButton(okButtonText(), QMessageBox::AcceptRole);
    ok->setObjectName(QStringLiteral("okButton"));
    box.setDefaultButton(ok);
    box.setEscapeButton(ok);
    box.exec();
    return vbOK;
}

} // namespace velmoran::MessageBox
