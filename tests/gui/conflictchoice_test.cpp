// The question a save asks when another desk changed the same field: the
// field's caption, both texts, and the three answers.

#include "data/core/fieldcaptions.h"
#include "tests/support/testenv.h"
#include "ui/conflictchoice.h"

#include <gtest/gtest.h>

using namespace velmoran;

namespace {

class ConflictChoiceTest : public test::DataFolderTest {
protected:
    static int field(const char* name) { return listingsTable().indexOf(QLatin1String(name)); }
    RowValues ours() const {
        RowValues row;
        row.texts.assign(kListingFieldCount, QString());
        row.flags.assign(kListingFieldCount, false);
        row.texts[field("address")] = QStringLiteral("خيابان من");
        return row;
    }
};

TEST_F(ConflictChoiceTest, AsksFieldByFieldNamingTheCaptionAndBothTexts) {
    const std::vector<FieldConflict> conflicts = {
        {field("address"), QStringLiteral("خيابان ميز ديگر"), false},
        {field("vila"), QString(), true}};
    std::vector<bool> keepTheirs;
    boxes().setNextAnswer(MessageBox::vbNo);
    boxes().setNextAnswer(MessageBox::vbYes);
    ASSERT_TRUE(askWhichToKeep(listingsTable(), conflicts, ours(), keepTheirs));
    EXPECT_EQ(keepTheirs, (std::vector<bool>{true, false}));
    ASSERT_EQ(boxes().shown().size(), 2u);
    const MessageBox::Request& address = boxes().shown()[0].request;
    EXPECT_EQ(address.buttons, MessageBox::Buttons::YesNoCancel);
    EXPECT_EQ(address.icon, MessageBox::Icon::Exclamation);
    EXPECT_FALSE(address.title.isEmpty());
    EXPECT_TRUE(address.text.startsWith(
        QStringLiteral("«%1»").arg(listingFieldCaptions().at(field("address")))))
        << address.text.toStdString();
    EXPECT_TRUE(address.text.contains(QStringLiteral("⁨خيابان من⁩")));
    EXPECT_TRUE(address.text.contains(QStringLiteral("⁨خيابان ميز ديگر⁩")));
    EXPECT_TRUE(boxes().shown()[1].request.text.contains(QStringLiteral("✓")));

    // Cancelled at the first: nothing more is asked, nothing is kept.
    boxes().clear();
    boxes().setNextAnswer(MessageBox::vbCancel);
    EXPECT_FALSE(askWhichToKeep(listingsTable(), conflicts, ours(), keepTheirs));
    EXPECT_EQ(boxes().shown().size(), 1u);
}

} // namespace
