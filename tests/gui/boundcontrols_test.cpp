#include "tests/support/testenv.h"

#include "data/core/fields.h"
#include "data/sqlite/sqlitefile.h"
#include "data/store/recordsource.h"
#include "screens/common/boundcontrols.h"
#include "screens/common/listinglayout.h"

#include <QTest>

#include <memory>

namespace velmoran {
namespace {

class BoundControlsTest : public test::DataFolderTest {
protected:
    void SetUp() override {
        DataFolderTest::SetUp();
        ASSERT_TRUE(prepareStoreFile(folder(), listingsTable()).isEmpty());
    }

    static BoundTextBox* boxFor(const ListingForm& form, const char* field) {
        for (auto* box : form.findChildren<BoundTextBox*>()) {
            if (box->dataField() == QLatin1String(field)) {
                return box;
            }
        }
        return nullptr;
    }
};

// A long text (an Access memo brought over whole) is shown whole, and a key
// typed into its box changes it by that key, not by cutting it to the length
// a text box takes by default.
TEST_F(BoundControlsTest, ALongTextIsShownWholeAndAnEditKeepsIt) {
    const QString details = QStringLiteral("جزئيات ملك ").repeated(4000); // 44 000 characters
    ASSERT_GT(details.size(), 32767);
    {
        RecordSource writer(folder(), listingsTable());
        writer.AddNew();
        writer.setText(listingsTable().indexOf(QStringLiteral("details")), details);
        writer.Update();
    }

    RecordSource source(folder(), listingsTable());
    const int field = listingsTable().indexOf(QStringLiteral("details"));
    ASSERT_TRUE(source.text(field) == details);
    ListingForm form(&source, ListingVariant::Edit);
    BoundTextBox* box = boxFor(form, "details");
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->text().size(), details.size());
    EXPECT_TRUE(box->text() == details);
    EXPECT_FALSE(source.isChanged()) << "showing the row changed it";

    box->setCursorPosition(box->text().size());
    QTest::keyClick(box, Qt::Key_X);
    EXPECT_EQ(source.text(field).size(), details.size() + 1);
    EXPECT_TRUE(source.text(field) == details + QLatin1Char('x'));
    source.writeBack();

    RecordSource reader(folder(), listingsTable());
    EXPECT_EQ(reader.text(field).size(), details.size() + 1);
    EXPECT_TRUE(reader.text(field) == details + QLatin1Char('x'));
}

} // namespace
} // namespace velmoran
