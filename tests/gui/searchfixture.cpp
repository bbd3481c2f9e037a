#include "tests/gui/searchfixture.h"

#include "app/mdiform1.h"
#include "data/core/fields.h"
#include "data/store/recordsource.h"
#include "platform/twips.h"
#include "screens/common/listinglayout.h"
#include "screens/search/form2.h"
#include "screens/search/searchpanel.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QTest>

#include <cstring>

namespace velmoran::test {

long long SearchTest::addListing(const TestListing& listing) {
    const TableSpec& tableSpec = listingsTable();
    RecordSource source(folder(), tableSpec);
    source.AddNew();
    for (const char* flag : listing.flags) {
        EXPECT_TRUE(source.setFlag(tableSpec.indexOf(QString::fromLatin1(flag)), true)) << flag;
    }
    source.setText(tableSpec.indexOf(QStringLiteral("gheymatehkoole")), listing.price);
    source.setText(tableSpec.indexOf(QStringLiteral("vahed02")), listing.rent);
    source.setText(tableSpec.indexOf(QStringLiteral("malek")), listing.owner);
    source.Update();
    return source.currentRowId();
}

Form2* SearchTest::openSearch() {
    MDIForm1* window = showMainForm();
    EXPECT_TRUE(QTest::qWaitForWindowActive(window));
    QTest::keyClick(window, Qt::Key_F3);
    settle();
    return search();
}

Form2* SearchTest::search() const {
    return Screens::instance().find<Form2>(ScreenId::Form2);
}

SearchPanel* SearchTest::openPanel(const char* menuCommand, ScreenId id) {
    Form2* form = search();
    EXPECT_TRUE(form);
    if (!form) {
        return nullptr;
    }
    auto* action = form->findChild<QAction*>(QString::fromLatin1(menuCommand));
    EXPECT_TRUE(action) << menuCommand;
    if (!action) {
        return nullptr;
    }
    action->trigger();
    auto* panel = screens().find<SearchPanel>(id);
    EXPECT_TRUE(panel);
    if (panel) {
        EXPECT_TRUE(QTest::qWaitForWindowActive(panel));
    }
    settle();
    return panel;
}

SearchPanel* SearchTest::openForm4() {
    return openPanel("mghazehkolanghidaftarehkarsearch", ScreenId::Form4);
}

SearchPanel* SearchTest::openForm13() {
    return openPanel("mosvilaapasearch", ScreenId::Form13);
}

long long SearchTest::shownRow() const {
    Form2* form = search();
    return form && form->Data1() ? form->Data1()->currentRowId() : 0;
}

QString SearchTest::shownPrice() const {
    Form2* form = search();
    const ListingItem* item = listingTable().find(QStringLiteral("Text10"));
    EXPECT_TRUE(item && std::strcmp(item->field, "gheymatehkoole") == 0);
    auto* priceBox =
        form ? form->listingForm()->findChild<QLineEdit*>(QStringLiteral("Text10")) : nullptr;
    return priceBox ? priceBox->text() : QString();
}

QLineEdit* SearchTest::box(QWidget* panel, const char* name) {
    auto* found = panel->findChild<QLineEdit*>(QString::fromLatin1(name));
    EXPECT_TRUE(found) << name;
    return found;
}

QAbstractButton* SearchTest::button(QWidget* panel, const char* name) {
    auto* found = panel->findChild<QAbstractButton*>(QString::fromLatin1(name));
    EXPECT_TRUE(found) << name;
    return found;
}

void SearchTest::type(QWidget* panel, const char* name, const QString& text) {
    QLineEdit* edit = box(panel, name);
    if (!edit) {
        return;
    }
    edit->setFocus();
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    for (const QChar c : text) {
        QTest::sendKeyEvent(QTest::Click, edit, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
}

void SearchTest::fill(QWidget* panel, const FindButton& row, const QStringList& texts) {
    for (int i = 0; i < texts.size() && i < 4 && row.boxes[i]; ++i) {
        type(panel, row.boxes[i], texts[i]);
    }
}

void SearchTest::click(QWidget* panel, const char* name) {
    if (QAbstractButton* target = button(panel, name)) {
        QTest::mouseClick(target, Qt::LeftButton);
    }
}

const FindButton& SearchTest::row(const SearchPanel* panel, const char* name) {
    const PanelDesign& design = panel->design();
    for (std::size_t i = 0; i < design.buttonCount; ++i) {
        if (std::strcmp(design.buttons[i].button, name) == 0) {
            return design.buttons[i];
        }
    }
    ADD_FAILURE() << "no find button " << name;
    return design.buttons[0];
}

QString SearchTest::lastMessage() {
    return boxes().shown().empty() ? QString() : boxes().shown().back().request.text;
}

QString SearchTest::lastTitle() {
    return boxes().shown().empty() ? QString() : boxes().shown().back().request.title;
}

void SearchTest::expectDesignedLayout(SearchPanel* panel) {
    const PanelDesign& design = panel->design();
    const auto pixels = [panel](int left, int top, int width, int height) {
        return twipsRect(left, top, width, height, panel->logicalDpiX(), panel->logicalDpiY());
    };
    const QRect client = pixels(0, 0, design.clientWidth, design.clientHeight);
    EXPECT_EQ(panel->height(), client.height());
    EXPECT_GE(panel->width(), client.width());
    const int grown = panel->width() - client.width();
    for (std::size_t i = 0; i < design.controlCount; ++i) {
        const PanelControl& c = design.controls[i];
        SCOPED_TRACE(c.objectName);
        QWidget* widget = panel->findChild<QWidget*>(QLatin1String(c.objectName));
        ASSERT_TRUE(widget);
        const QRect designed = pixels(c.left, c.top, c.width, c.height);
        EXPECT_EQ(widget->y(), designed.y());
        EXPECT_EQ(widget->height(), designed.height());
        if (c.kind == PanelControl::TextBox) {
            EXPECT_GE(widget->width(), designed.width());
        } else {
            EXPECT_EQ(widget->width(), designed.width());
        }
        EXPECT_GE(widget->x(), designed.x());
        EXPECT_LE(widget->geometry().right(), designed.right() + grown);
        EXPECT_TRUE(panel->rect().contains(widget->geometry()));
        for (std::size_t j = 0; j < design.controlCount; ++j) {
            const PanelControl& d = design.controls[j];
            if (d.top == c.top && d.left < c.left) {
                EXPECT_LT(panel->findChild<QWidget*>(QLatin1String(d.objectName))->x(), widget->x())
                    << "left of it: " << d.objectName;
            }
        }
    }
}

} // namespace velmoran::test
