#include "tests/gui/editfixture.h"

#include "app/mdiform1.h"
#include "data/store/recordsource.h"
#include "screens/edit/form7.h"
#include "screens/edit/form8.h"

#include <QAbstractButton>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <sqlite3.h>

#include <memory>

namespace velmoran::test {

namespace {

using Database = std::unique_ptr<sqlite3, decltype(&sqlite3_close)>;
using Statement = std::unique_ptr<sqlite3_stmt, decltype(&sqlite3_finalize)>;

// Runs `sql` on the listings file with `bind` binding its parameters and
// returns the first column of every row as text.
template <class Bind> QStringList query(const QString& folder, const char* sql, Bind bind) {
    sqlite3* raw = nullptr;
    const QByteArray path = QDir(folder).filePath(QStringLiteral("newil.db")).toUtf8();
    const int opened = sqlite3_open_v2(path.constData(), &raw, SQLITE_OPEN_READONLY, nullptr);
    Database db(raw, &sqlite3_close);
    EXPECT_EQ(opened, SQLITE_OK);
    sqlite3_stmt* rawStatement = nullptr;
    EXPECT_EQ(sqlite3_prepare_v2(db.get(), sql, -1, &rawStatement, nullptr), SQLITE_OK) << sql;
    Statement statement(rawStatement, &sqlite3_finalize);
    QStringList values;
    if (!statement) {
        return values;
    }
    bind(statement.get());
    while (sqlite3_step(statement.get()) == SQLITE_ROW) {
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement.get(), 0));
        values << QString::fromUtf8(text ? text : "");
    }
    return values;
}

} // namespace

Form7* EditTest::openEdit() {
    MDIForm1* window = showMainForm();
    EXPECT_TRUE(QTest::qWaitForWindowActive(window));
    QTest::keyClick(window, Qt::Key_F6);
    settle();
    return edit();
}

Form7* EditTest::edit() const {
    return Screens::instance().find<Form7>(ScreenId::Form7);
}

Form8* EditTest::openEditPanel() {
    Form7* view = edit();
    EXPECT_TRUE(view && view->Command1());
    if (!view || !view->Command1()) {
        return nullptr;
    }
    QTest::mouseClick(view->Command1(), Qt::LeftButton);
    Form8* panel = editPanel();
    EXPECT_TRUE(panel);
    if (panel) {
        EXPECT_TRUE(QTest::qWaitForWindowActive(panel));
    }
    settle();
    return panel;
}

Form8* EditTest::editPanel() const {
    return Screens::instance().find<Form8>(ScreenId::Form8);
}

void EditTest::openBoth() {
    ASSERT_TRUE(openEdit());
    panel = openEditPanel();
    ASSERT_TRUE(panel);
}

void EditTest::findOwner(const QString& owner) {
    type(panel, "Text5", owner);
    click(panel, "Command7");
}

long long EditTest::viewRow() const {
    Form7* view = edit();
    return view && view->Data1() ? view->Data1()->currentRowId() : 0;
}

QString EditTest::viewText(const char* name) const {
    Form7* view = edit();
    auto* found = view ? view->findChild<QLineEdit*>(QString::fromLatin1(name)) : nullptr;
    EXPECT_TRUE(found) << name;
    return found ? found->text() : QString();
}

QStringList EditTest::ownersInTable() const {
    return query(folder(), "SELECT malek FROM new ORDER BY rowid", [](sqlite3_stmt*) {});
}

QString EditTest::storedText(long long row, const char* field) const {
    const QByteArray sql = QByteArray("SELECT \"") + field + "\" FROM new WHERE rowid = ?";
    const QStringList values = query(folder(), sql.constData(), [row](sqlite3_stmt* statement) {
        sqlite3_bind_int64(statement, 1, row);
    });
    EXPECT_EQ(values.size(), 1) << "row " << row;
    return values.value(0);
}

QString EditTest::focusName(QWidget* window) {
    QWidget* focus = window ? window->focusWidget() : nullptr;
    return focus ? focus->objectName() : QString();
}

void EditTest::expectLastBox(const QString& text, const QString& title, MessageBox::Icon icon,
                             MessageBox::Buttons buttons) {
    ASSERT_FALSE(boxes().shown().empty());
    const MessageBox::Request& shown = boxes().shown().back().request;
    EXPECT_EQ(shown.text, text);
    EXPECT_EQ(shown.title, title);
    EXPECT_EQ(shown.icon, icon);
    EXPECT_EQ(shown.buttons, buttons);
}

} // namespace velmoran::test
