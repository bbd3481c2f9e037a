#pragma once

#include "tests/gui/searchfixture.h"

#include <QString>
#include <QStringList>

namespace velmoran {
class Form7;
class Form8;
} // namespace velmoran

namespace velmoran::test {

// Base of the edit tests: the program's screens on a fresh data folder,
// listings stored before the edit view opens, the edit view opened with F6
// and its panel with its button, as a user would; the table read back
// straight from the file.
class EditTest : public SearchTest {
protected:
    // F6 in the main window: the edit view, active.
    Form7* openEdit();
    Form7* edit() const;
    // The edit view's "جستجو" button clicked: the panel, active.
    Form8* openEditPanel();
    Form8* editPanel() const;
    // Both, one after the other; the panel in `panel`.
    void openBoth();
    // Types the owner into the panel and presses the owner row's search.
    void findOwner(const QString& owner);

    // The listing the edit view stands on (0: none) and the text of one of
    // its bound boxes.
    long long viewRow() const;
    QString viewText(const char* box) const;

    // The owners of the rows of table `new` in stored order, and one field
    // of one row, read from the file by a connection of the test's own.
    QStringList ownersInTable() const;
    QString storedText(long long row, const char* field) const;

    // The name of the widget with the focus in `window`, or empty.
    static QString focusName(QWidget* window);

    // Checks the last message box shown.
    void expectLastBox(const QString& text, const QString& title, MessageBox::Icon icon,
                       MessageBox::Buttons buttons = MessageBox::Buttons::Ok);

    Form8* panel = nullptr;
};

} // namespace velmoran::test
