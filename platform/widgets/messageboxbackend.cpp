#include "platform/widgets/messageboxbackend.h"

#include <QApplication>
#include <QGridLayout>
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
QString cancelButtonText() {
    return QStringLiteral("انصراف");
}

namespace {

// The room a title bar takes beside its text: the window's icon and its
// buttons, with their margins.
constexpr int kTitleBarReserve = 140;

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

// Makes `box` wide enough for its whole title: a box measures only its text,
// and the desktop cuts a title longer than the box. Room is kept for the
// title bar's icon and buttons and for a bold title font.
void fitTitle(QMessageBox* box) {
    QFont font = box->font();
    font.setBold(true);
    const int needed =
        QFontMetrics(font).horizontalAdvance(box->windowTitle()) * 6 / 5 + kTitleBarReserve;
    if (auto* grid = qobject_cast<QGridLayout*>(box->layout())) {
        grid->addItem(new QSpacerItem(needed, 0, QSizePolicy::Minimum, QSizePolicy::Minimum),
                      grid->rowCount(), 0, 1, grid->columnCount());
    }
}

} // namespace

int minimumBoxWidth(const QString& title, const QFont& font) {
    QFont bold = font;
    bold.setBold(true);
    return QFontMetrics(bold).horizontalAdvance(title) + kTitleBarReserve;
}

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
    QPushButton* no = nullptr;
    if (request.buttons != Buttons::Ok) {
        yes = box->addButton(yesButtonText(), QMessageBox::YesRole);
        no = box->addButton(noButtonText(), QMessageBox::NoRole);
        yes->setObjectName(QStringLiteral("yesButton"));
        no->setObjectName(QStringLiteral("noButton"));
        box->setDefaultButton(yes);
        box->setEscapeButton(no);
        if (request.buttons == Buttons::YesNoCancel) {
            QPushButton* cancel = box->addButton(cancelButtonText(), QMessageBox::RejectRole);
            cancel->setObjectName(QStringLiteral("cancelButton"));
            box->setEscapeButton(cancel);
        }
    } else {
        QPushButton* ok = box->addButton(okButtonText(), QMessageBox::AcceptRole);
        ok->setObjectName(QStringLiteral("okButton"));
        box->setDefaultButton(ok);
        box->setEscapeButton(ok);
    }
    fitTitle(box);
    box->exec();
    if (!box) {
        return request.buttons == Buttons::YesNo         ? vbNo
               : request.buttons == Buttons::YesNoCancel ? vbCancel
                                                         : vbOK;
    }
    const QAbstractButton* clicked = box->clickedButton();
    delete box.data();
    if (request.buttons == Buttons::Ok) {
        return vbOK;
    }
    if (yes && clicked == yes) {
        return vbYes;
    }
    if (no && clicked == no) {
        return vbNo;
    }
    return request.buttons == Buttons::YesNo ? vbNo : vbCancel;
}

} // namespace velmoran::MessageBox
