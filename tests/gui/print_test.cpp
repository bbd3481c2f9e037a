#include "tests/support/testenv.h"

#include "platform/print.h"
#include "platform/widgets/printqt.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

namespace velmoran {
namespace {

class PrintTest : public test::DataFolderTest {
protected:
    void TearDown() override {
        Print::setBackend(nullptr);
        DataFolderTest::TearDown();
    }

    static QImage page() {
        QImage image(792, 546, QImage::Format_RGB32);
        image.fill(Qt::white);
        return image;
    }
};

TEST_F(PrintTest, WithoutAPrinterThePageBecomesAPdfNamedInTheMessage) {
    QTemporaryDir home;
    const QString documents = home.filePath(QStringLiteral("اسناد"));
    const Print::Outcome first =
        QtPrintBackend::saveAsPdf(page(), QStringLiteral("form"), documents);
    const Print::Outcome second =
        QtPrintBackend::saveAsPdf(page(), QStringLiteral("form"), documents);

    ASSERT_EQ(first.kind, Print::Outcome::SavedAsPdf) << qPrintable(first.problem);
    ASSERT_EQ(second.kind, Print::Outcome::SavedAsPdf);
    EXPECT_NE(first.where, second.where) << "a second page overwrote the first";
    EXPECT_EQ(QFileInfo(first.where).absolutePath(), QDir(documents).absolutePath());
    QFile pdf(first.where);
    ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
    EXPECT_TRUE(pdf.read(5).startsWith("%PDF-"));
    EXPECT_GT(pdf.size(), 1000);
    EXPECT_TRUE(Print::outcomeMessage(first).contains(first.where));
}

TEST_F(PrintTest, AFailureIsAMessageNamingTheProblem) {
    QTemporaryDir home;
    QFile blocker(home.filePath(QStringLiteral("file")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    // A folder can't be made inside a plain file.
    const QString folder = blocker.fileName() + QStringLiteral("/documents");
    const Print::Outcome outcome =
        QtPrintBackend::saveAsPdf(page(), QStringLiteral("form"), folder);
    EXPECT_EQ(outcome.kind, Print::Outcome::Failed);
    EXPECT_TRUE(Print::outcomeMessage(outcome).contains(folder));

    EXPECT_EQ(QtPrintBackend::saveAsPdf(QImage(), QStringLiteral("form"), home.path()).kind,
              Print::Outcome::Failed);
    EXPECT_TRUE(QDir(home.path()).entryList({QStringLiteral("*.pdf")}).isEmpty());

    Print::setBackend(nullptr);
    const Print::Outcome none = Print::printPage(page(), QStringLiteral("form"));
    EXPECT_EQ(none.kind, Print::Outcome::Failed);
    EXPECT_FALSE(Print::outcomeMessage(none).isEmpty());
}

} // namespace
} // namespace velmoran
