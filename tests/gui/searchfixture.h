#pragma once

#include "screens/search/findpress.h"
#include "tests/gui/apptest.h"

#include <QString>

#include <initializer_list>
#include <ostream>

class QAbstractButton;
class QLineEdit;

// Readable failure output for Qt strings.
inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}

namespace velmoran {
class Form2;
class SearchPanel;
} // namespace velmoran

namespace velmoran::test {

// A listing as the search tests need it: its kind and deal flags, price,
// rent and owner.
struct TestListing {
    std::initializer_list<const char*> flags; // e.g. {"apartman", "fooroosh"}
    QString price;
    QString rent;
    QString owner;
};

// Base of the search tests: the program's screens on a fresh data folder,
// listings stored before the search screen opens, the search screen and its
// panels opened through the menus as a user would, boxes typed into and
// buttons clicked.
class SearchTest : public AppTest {
protected:
    // Stores a listing at the end of table `new`; its row id.
    long long addListing(const TestListing& listing);

    // F3 in the main window: the search screen, active.
    Form2* openSearch();
    Form2* search() const;
    // The search screen's menu command `name`, then the panel it shows.
    SearchPanel* openPanel(const char* menuCommand, ScreenId id);
    SearchPanel* openForm4();
    SearchPanel* openForm13();

    // The listing the search screen stands on (0: none), and the price its
    // bound field shows.
    long long shownRow() const;
    QString shownPrice() const;

    static QLineEdit* box(QWidget* panel, const char* name);
    static QAbstractButton* button(QWidget* panel, const char* name);
    // Replaces a box's text as the user would: select all, type.
    static void type(QWidget* panel, const char* name, const QString& text);
    // Fills the row's boxes of `row` in order: low, high[, low rent, high rent].
    static void fill(QWidget* panel, const FindButton& row, const QStringList& texts);
    // Clicks a button with the mouse.
    static void click(QWidget* panel, const char* name);
    // The row of `name` in the panel's design.
    static const FindButton& row(const SearchPanel* panel, const char* name);

    // The panel's controls stand as designed, in twips: each at its design
    // top with its design height, buttons and labels at their design width,
    // each row in its design order from the right; only the boxes may be
    // wider (and the controls beside them moved), the panel as much wider.
    static void expectDesignedLayout(SearchPanel* panel);

    // The last message box shown, its text or empty.
    QString lastMessage();
    QString lastTitle();
};

} // namespace velmoran::test
