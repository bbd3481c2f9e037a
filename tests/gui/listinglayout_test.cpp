#include "tests/support/testenv.h"

#include "data/core/fields.h"
#include "data/sqlite/sqlitefile.h"
#include "data/store/recordsource.h"
#include "platform/widgets/fonts.h"
#include "screens/common/boundcontrols.h"
#include "screens/common/listinglayout.h"

#include <QFontDatabase>
#include <QLabel>
#include <QSet>
#include <QTest>

#include <map>
#include <memory>

namespace velmoran {
namespace {

class ListingLayoutTest : public test::DataFolderTest {
protected:
    void SetUp() override {
        DataFolderTest::SetUp();
        ASSERT_TRUE(prepareStoreFile(folder(), listingsTable()).isEmpty());
        source_ = std::make_unique<RecordSource>(folder(), listingsTable());
        source_->AddNew();
    }
    void TearDown() override {
        source_.reset();
        DataFolderTest::TearDown();
    }

    // objectName -> bound field of every bound control.
    static std::map<QString, QString> bindings(const ListingForm& form) {
        std::map<QString, QString> result;
        for (auto* box : form.findChildren<BoundTextBox*>()) {
            result[box->objectName()] = box->dataField();
        }
        for (auto* check : form.findChildren<BoundCheckBox*>()) {
            result[check->objectName()] = check->dataField();
        }
        return result;
    }

    std::unique_ptr<RecordSource> source_;
};

TEST_F(ListingLayoutTest, BindsEveryFieldOnceAndDensityTwiceUnderSharedNames) {
    ListingForm entry(source_.get(), ListingVariant::Entry);
    ListingForm edit(source_.get(), ListingVariant::Edit);

    EXPECT_EQ(entry.findChildren<BoundTextBox*>().size(), 60);
    EXPECT_EQ(entry.findChildren<BoundCheckBox*>().size(), 43);
    const auto bound = bindings(entry);
    ASSERT_EQ(bound.size(), 103u) << "two controls share an objectName";
    EXPECT_EQ(bound, bindings(edit)) << "the edit screen names or binds a control otherwise";

    std::map<QString, int> uses;
    for (const auto& [name, field] : bound) {
        ++uses[field];
    }
    for (std::size_t i = 0; i < kListingFieldCount; ++i) {
        const FieldDef& def = kListingFields[i];
        const QString field = QString::fromLatin1(def.name);
        EXPECT_EQ(uses[field], field == QLatin1String("tarakoom") ? 2 : 1) << def.name;
        for (const auto& [name, boundField] : bound) {
            if (boundField == field) {
                const bool isCheck = name.startsWith(QLatin1String("Check"));
                EXPECT_EQ(isCheck, def.kind == FieldKind::Flag) << qPrintable(name);
            }
        }
    }
    EXPECT_EQ(bound.at(QStringLiteral("Text1")), QStringLiteral("malek"));
    EXPECT_EQ(bound.at(QStringLiteral("Text6")), QStringLiteral("date"));
    EXPECT_EQ(bound.at(QStringLiteral("Text16")), QStringLiteral("vahed01"));
    EXPECT_EQ(bound.at(QStringLiteral("Text53")), QStringLiteral("tarakoom"));
    EXPECT_EQ(bound.at(QStringLiteral("Text56")), QStringLiteral("tarakoom"));

    QSet<QString> names;
    for (QObject* child : entry.findChildren<QObject*>()) {
        if (child->isWidgetType() && child->parent() == &entry) {
            EXPECT_FALSE(child->objectName().isEmpty());
            EXPECT_FALSE(names.contains(child->objectName())) << qPrintable(child->objectName());
            names.insert(child->objectName());
        }
    }
}

TEST_F(ListingLayoutTest, FitsTheDesignAreaWithoutOverlapOnEveryVariant) {
    for (ListingVariant variant : {ListingVariant::Entry, ListingVariant::Edit}) {
        ListingForm form(source_.get(), variant);
        if (form.logicalDpiX() == 96) {
            // 11880 twips wide, drawn to fit an 800 x 600 screen.
            EXPECT_LE(form.width(), 800);
            EXPECT_LE(form.height(), 600 - 30);
        }
        QList<QWidget*> items;
        for (QWidget* child : form.findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
            EXPECT_TRUE(form.rect().contains(child->geometry()))
                << qPrintable(child->objectName()) << " leaves the form";
            const bool frameOrRule = child->objectName().startsWith(QLatin1String("Frame")) ||
                                     child->objectName().startsWith(QLatin1String("Line"));
            if (!frameOrRule) {
                items << child;
            }
        }
        ASSERT_EQ(items.size(), 103 + 69); // bound controls and captions
        for (int i = 0; i < items.size(); ++i) {
            for (int j = i + 1; j < items.size(); ++j) {
                EXPECT_FALSE(items[i]->geometry().intersects(items[j]->geometry()))
                    << qPrintable(items[i]->objectName()) << " overlaps "
                    << qPrintable(items[j]->objectName());
            }
        }
    }
}

TEST_F(ListingLayoutTest, BandsReadFromTheRight) {
    ListingForm form(source_.get(), ListingVariant::Entry);
    auto at = [&](const char* name) { return form.findChild<QWidget*>(name)->geometry(); };
    // Band 1: owner caption at the right edge, then its box, ... the date box
    // at the left.
    EXPECT_GT(at("Label1").right(), form.width() - 20);
    EXPECT_LT(at("Text1").right(), at("Label1").left());
    EXPECT_LT(at("Text6").right(), at("Text3").left());
    EXPECT_LT(at("Text6").left(), 20);
    // The deal row starts with rent, the floor table with the floor column;
    // a floor row's fireplace box is its last cell, on the left.
    EXPECT_GT(at("Check1").left(), at("Check2").right());
    EXPECT_GT(at("Text12").left(), at("Check17").right());
    // The edit screen: everything a little lower.
    ListingForm edit(source_.get(), ListingVariant::Edit);
    EXPECT_GT(edit.findChild<QWidget*>("Text1")->y(), at("Text1").y());
    EXPECT_GT(edit.findChild<QWidget*>("Text10")->x(), at("Text10").x());
    EXPECT_EQ(edit.findChild<QWidget*>("Text16")->x(), at("Text16").x());
}

TEST_F(ListingLayoutTest, CaptionsAndValuesFitWithTheProgramFonts) {
    installFontSubstitutes();
    for (const char* family : {"Homa", "Nazli", "Liberation Sans", "Liberation Serif"}) {
        if (!QFontDatabase::hasFamily(QLatin1String(family))) {
            GTEST_SKIP() << family << " is not installed";
        }
    }
    ListingForm form(source_.get(), ListingVariant::Entry);
    for (QLabel* label : form.findChildren<QLabel*>()) {
        const QFontMetrics metrics(label->font());
        EXPECT_LE(metrics.horizontalAdvance(label->text()), label->width())
            << qPrintable(label->objectName());
        EXPECT_LE(metrics.height(), label->height() + 4) << qPrintable(label->objectName());
    }
    for (QLineEdit* box : form.findChildren<QLineEdit*>()) {
        EXPECT_LE(QFontMetrics(box->font()).height(), box->height())
            << qPrintable(box->objectName());
        EXPECT_GE(box->width(), 30) << qPrintable(box->objectName());
    }
}

// The tab order walked with the Tab key, as the user goes through the form.
TEST_F(ListingLayoutTest, TabKeyFollowsTheEntryOrder) {
    const char* const order[] = {
        "malek", "mantagheh", "tel03", "date", "address", "number", "fooroosh", "rahn", "maghazeh",
        "soeit", "shoomali", "joonoobi", "sharghi", "gharbi", "tedadehtabaghat", "tedadehvahed01",
        "tedadehvahedeh02", "gheymatehkoole", "vahed01", "vahed02",
        // floor rows 1 to 4, each from the floor to the fireplace
        "taba01", "zirbana01", "khab0", "metrajehbalkoon01", "tele01", "serviceashpaz01", "open01",
        "servicebehdasht01", "kafpoosh01", "p01", "anbari01", "shoomineh01", "taba02", "zirbana02",
        "khab02", "metrajehbalkoon02", "tele02", "serviceashpaz02", "open02", "servicebehdasht02",
        "kafpoosh02", "p02", "anbari02", "shoomineh02", "taba03", "zirbana03", "khab03",
        "metrajehbalkoon03", "tele03", "serviceashpaz03", "open03", "servicebehdasht03",
        "kafpoosh03", "p03", "anbari03", "shoomineh03", "taba04", "zirbana04", "khab04",
        "metrajehbalkoon04", "tele04", "serviceashpaz04", "open04", "servicebehdasht04",
        "kafpoosh04", "p04", "anbari04", "shoomineh04", "shoofaj", "cooler", "gas", "fancoel",
        "chiler", "pakage", "asensor", "soona", "jakozi", "estakhr", "tarakoom", "tolebar",
        "eslahi", "hayat", "hayatkhalvat", "zirzamin", "servicemostakhdem", "pasio", "maskooni",
        "takhlieh", "ejarehdoen", "senebana", "nama", "manbaeetelaati", "tanzimkonnandeh",
        "sookoonatehmalek", "vaziatehsanad", "details", "tarakoom", "kolanghi", "mostaghelat",
        "daftarehkar", "vila", "apartman", "ejareh"};
    ASSERT_EQ(std::size(order), 103u);

    QWidget window;
    auto* form = new ListingForm(source_.get(), ListingVariant::Entry, &window);
    window.resize(form->size());
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    form->findChild<QWidget*>("Text1")->setFocus();

    const auto bound = bindings(*form);
    for (std::size_t i = 0; i < std::size(order); ++i) {
        QWidget* focus = QApplication::focusWidget();
        ASSERT_NE(focus, nullptr);
        EXPECT_EQ(bound.at(focus->objectName()), QLatin1String(order[i])) << "stop " << i;
        if (i == 78) {
            EXPECT_EQ(focus->objectName(), QStringLiteral("Text53")); // density first
        }
        if (i == 96) {
            EXPECT_EQ(focus->objectName(), QStringLiteral("Text56")); // land area late
        }
        QTest::keyClick(focus, Qt::Key_Tab);
    }
}

} // namespace
} // namespace velmoran
