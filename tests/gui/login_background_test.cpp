#include "app/form9.h"
#include "tests/gui/apptest.h"

#include <QLabel>
#include <QPaintDevice>
#include <QPaintEngine>
#include <QTest>
#include <QTextItem>

using namespace velmoran;
using namespace velmoran::test;

namespace {

// A paint device that keeps the text of every run of text drawn on it, as
// the text engine hands the runs to the device.
class TextRunDevice : public QPaintDevice {
public:
    explicit TextRunDevice(QSize size) : size_(size) {}

    QPaintEngine* paintEngine() const override { return &engine_; }
    const QStringList& runs() const { return engine_.runs; }

protected:
    int metric(PaintDeviceMetric metric) const override {
        switch (metric) {
        case PdmWidth:
            return size_.width();
        case PdmHeight:
            return size_.height();
        case PdmWidthMM:
            return size_.width() * 254 / 960;
        case PdmHeightMM:
            return size_.height() * 254 / 960;
        case PdmDpiX:
        case PdmDpiY:
        case PdmPhysicalDpiX:
        case PdmPhysicalDpiY:
            return 96;
        case PdmDepth:
            return 32;
        case PdmNumColors:
            return 1 << 24;
        case PdmDevicePixelRatio:
            return 1;
        case PdmDevicePixelRatioScaled:
            return int(devicePixelRatioFScale());
        default:
            return 0;
        }
    }

private:
    class Engine : public QPaintEngine {
    public:
        Engine() : QPaintEngine(QPaintEngine::AllFeatures) {}
        bool begin(QPaintDevice*) override { return true; }
        bool end() override { return true; }
        void updateState(const QPaintEngineState&) override {}
        void drawPixmap(const QRectF&, const QPixmap&, const QRectF&) override {}
        void drawTextItem(const QPointF&, const QTextItem& item) override { runs << item.text(); }
        Type type() const override { return QPaintEngine::User; }
        QStringList runs;
    };
    QSize size_;
    mutable Engine engine_;
};

const QString kTileWords = QStringLiteral("ولمو رانك");

class LoginBackgroundTest : public AppTest {};

// The background's tiles are drawn whole: wherever the text engine splits a
// run, every word of every run is one of the tile's words, and all the
// tiles are there.
TEST_F(LoginBackgroundTest, DrawsEveryTileWhole) {
    auto* form = qobject_cast<Form9*>(screens().show(ScreenId::Form9));
    ASSERT_TRUE(form);
    ASSERT_TRUE(QTest::qWaitForWindowActive(form));
    auto* background = form->findChild<QLabel*>(QStringLiteral("Label1"));
    ASSERT_TRUE(background);
    // Large enough for every tile of the text, as on a tall screen.
    background->resize(2400, 6000);

    TextRunDevice device(background->size());
    background->render(&device);
    ASSERT_FALSE(device.runs().isEmpty()) << "nothing was drawn";
    const QStringList tile = kTileWords.split(QLatin1Char(' '));
    int tiles = 0;
    for (const QString& run : device.runs()) {
        for (const QString& word : run.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
            ASSERT_TRUE(tile.contains(word)) << "a tile drawn cut: «" << word.toStdString()
                                             << "» in «" << run.toStdString() << "»";
            tiles += word == tile.first() ? 1 : 0;
        }
    }
    EXPECT_EQ(tiles, 585);
}

} // namespace
