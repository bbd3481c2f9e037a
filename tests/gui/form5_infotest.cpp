#include "tests/gui/form5_infotest.h"

#include "platform/random.h"
#include "platform/widgets/fonts.h"

#include <QAction>
#include <QApplication>
#include <QFontMetrics>
#include <QImage>

namespace velmoran::test {

void InfoScreenTest::SetUp() {
    AppTest::SetUp();
    substituted_ = installFontSubstitutes();
    restartProgramRandom();
    savedValues_ = SystemValues::backend();
    values_ = std::make_shared<SystemValues::Fixed>();
    SystemValues::setBackend(values_);
}

void InfoScreenTest::TearDown() {
    AppTest::TearDown();
    SystemValues::setBackend(savedValues_);
    for (const QString& family : substituted_) {
        QFont::removeSubstitutions(family);
    }
}

MDIForm1* InfoScreenTest::openMain() {
    MDIForm1* window = showMainForm();
    EXPECT_TRUE(QTest::qWaitForWindowActive(window));
    return window;
}

bool InfoScreenTest::waitActive(QWidget* window) {
    // The platform may call a window active before the application has made
    // it its active window and run the screen's activation.
    return QTest::qWaitForWindowActive(window) &&
           QTest::qWaitFor([window] { return QApplication::activeWindow() == window; });
}

QPoint InfoScreenTest::backgroundPoint(QWidget* form) {
    for (int y = form->height() - 3; y > 2; y -= 3) {
        for (int x = 3; x < form->width() - 2; x += 3) {
            if (!form->childAt(x, y)) {
                return QPoint(x, y);
            }
        }
    }
    ADD_FAILURE() << "no background on " << form->objectName().toStdString();
    return QPoint();
}

QList<QColor> InfoScreenTest::freshColours(int count) {
    Random fresh;
    QList<QColor> colours;
    for (int i = 0; i < count; ++i) {
        const int red = colourComponent(fresh.next());
        const int green = colourComponent(fresh.next());
        const int blue = colourComponent(fresh.next());
        colours << QColor(red, green, blue);
    }
    return colours;
}

bool InfoScreenTest::drawsColour(QWidget* widget, const QColor& colour) {
    const QImage image = widget->grab().toImage();
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixelColor(x, y).rgb() == colour.rgb()) {
                return true;
            }
        }
    }
    return false;
}

QStringList InfoScreenTest::clippedLabels(QWidget* form) {
    QStringList clipped;
    for (QLabel* label : form->findChildren<QLabel*>()) {
        if (label->text().isEmpty() || !label->isVisibleTo(form)) {
            continue;
        }
        const QRect room = label->contentsRect();
        const int flags = (label->wordWrap() ? Qt::TextWordWrap : 0) | label->alignment();
        const QRect text = QFontMetrics(label->font()).boundingRect(room, flags, label->text());
        if (!room.contains(text)) {
            clipped << label->objectName();
        }
    }
    return clipped;
}

} // namespace velmoran::test
