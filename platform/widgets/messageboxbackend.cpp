#include "platform/widgets/messageboxbackend.h"

#include <QApplication>
#include <QMessageBox>
#include <QPointer>
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
    // Made on the heap and watched: the window it stands over may go while it
    // is up (at log-out the main window unloads every screen), and takes the
    // box with it. The question is then answered No.
    QPointer<QMessageBox> box = new QMessageBox(QApplication::activeWindow());
    box->setLayoutDirection(Qt::RightToLeft);
    box->setWindowModality(Qt::ApplicationModal);
    box->setTextFormat(Qt::PlainText);
    box->setText(request.text);
    box->setWindowTitle(request.title);
    box->setIcon(iconOf(request.icon));

    QPushButton* yes = nullptr;
    if (request.buttons == Buttons::YesNo) {
        yes = box->addButton(yesButtonText(), QMessageBox::YesRole);
        QPushButton* no = box->addButton(noButtonText(), QMessageBox::NoRole);
        yes->setObjectName(QStringLiteral("yesButton"));
        no->setObjectName(QStringLiteral("noButton"));
        box->setDefaultButton(yes);
        box->setEscapeButton(no);
    } else {
        QPushButton* ok = box->addButton(okButtonText(), QMessageBox::AcceptRole);
        ok->setObjectName(QStringLiteral("okButton"));
        box->setDefaultButton(ok);
        box->setEscapeButton(ok);
    }
    box->exec();
    if (!box) {
        return request.buttons == Buttons::YesNo ? vbNo : vbOK;
    }
    const bool answeredYes = yes && box->clickedButton() == yes;
    delete box.data();
    if (request.buttons == Buttons::YesNo) {
        return answeredYes ? vbYes : vbNo;
    }
    return vbOK;
}

} // namespace velmoran::MessageBox
