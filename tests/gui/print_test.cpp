#include "tests/support/testenv.h"

#include "app/mdiform1.h"
#include "data/core/fields.h"
#include "data/sqlite/sqlitefile.h"
#include "platform/print.h"
#include "platform/widgets/printqt.h"
#include "screens/common/listinglayout.h"
#include "screens/entry/form1.h"
#include "ui/screens.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPageLayout>
#include <QPainter>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>

namespace velmoran {
namespace {

// What a reader of PDF files finds in one: the output of one of poppler's
// tools (poppler-utils).
QString poppler(const QString& tool, const QStringList& arguments) {
    QProcess process;
    process.start(tool, arguments);
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0) {
        ADD_FAILURE() << qPrintable(tool) << " failed (poppler-utils installed?): "
                      << process.readAllStandardError().toStdString();
        return QString();
    }
    return QString::fromUtf8(process.readAllStandardOutput());
}

// Kaf and yeh in one spelling: the Persian faces draw the Arabic and the
// Persian letters with the same glyphs (yeh inside a word), so a reader of
// the PDF may give either.
QString foldKafYeh(QString text) {
    return text.replace(QChar(0x06A9), QChar(0x0643)).replace(QChar(0x06CC), QChar(0x064A));
}

// The PDF's text as pdftotext reads it, letters in their plain forms (the
// reader gives Arabic letters in their joined presentation forms), kaf and
// yeh folded, without the marks of direction it puts around right-to-left
// lines.
QString pdfText(const QString& path) {
    return foldKafYeh(poppler(QStringLiteral("pdftotext"), {path, QStringLiteral("-")})
                          .normalized(QString::NormalizationForm_KC)
                          .remove(QRegularExpression(
                              QStringLiteral("[\u200E\u200F\u202A-\u202E\u2066-\u2069]"))));
}

QString pdfTitle(const QString& path) {
    const QString info = poppler(QStringLiteral("pdfinfo"), {path});
    const QRegularExpressionMatch match =
        QRegularExpression(QStringLiteral("^Title:\\s*(.*)$"), QRegularExpression::MultilineOption)
            .match(info);
    return match.hasMatch() ? match.captured(1).trimmed() : QString();
}

// The pictures in the PDF, one line each after pdfimages' two heading lines.
QStringList pdfImages(const QString& path) {
    QStringList lines = poppler(QStringLiteral("pdfimages"), {QStringLiteral("-list"), path})
                            .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    return lines.mid(2);
}

// A page of lines and a text, as a screen would draw itself.
Print::Page page() {
    Print::Page page;
    page.size = QSize(792, 546);
    page.paint = [](QPainter& painter) {
        painter.fillRect(QRect(0, 0, 792, 546), Qt::white);
        painter.drawRect(QRect(10, 10, 772, 526));
        painter.drawText(QRect(20, 20, 700, 40), Qt::AlignRight, QStringLiteral("صفحه نمونه"));
    };
    return page;
}

class PrintTest : public test::DataFolderTest {
protected:
    void TearDown() override {
        Print::setBackend(nullptr);
        DataFolderTest::TearDown();
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
    EXPECT_TRUE(Print::outcomeMessage(first).contains(
        QStringLiteral("\u2068%1\u2069").arg(test::shownPath(first.where))));
    EXPECT_TRUE(pdfText(first.where).contains(QStringLiteral("صفحه نمونه")));
    EXPECT_EQ(pdfTitle(first.where), QStringLiteral("form"));
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

    EXPECT_EQ(QtPrintBackend::saveAsPdf(Print::Page(), QStringLiteral("form"), home.path()).kind,
              Print::Outcome::Failed);
    EXPECT_TRUE(QDir(home.path()).entryList({QStringLiteral("*.pdf")}).isEmpty());

    Print::setBackend(nullptr);
    const Print::Outcome none = Print::printPage(page(), QStringLiteral("form"));
    EXPECT_EQ(none.kind, Print::Outcome::Failed);
    EXPECT_FALSE(Print::outcomeMessage(none).isEmpty());
}

// Prints into PDF files in a folder of its own, as the program does without
// a printer.
class PdfFolder : public Print::Backend {
public:
    explicit PdfFolder(QString folder) : folder_(std::move(folder)) {}
    Print::Outcome printPage(const Print::Page& page, const QString& title) override {
        return QtPrintBackend::saveAsPdf(page, title, folder_);
    }

private:
    QString folder_;
};

// The entry screen printed for real: into a PDF, as without a printer, and on
// a printer whose output is a PDF file.
class FormPrintTest : public test::DataFolderTest {
protected:
    void SetUp() override {
        DataFolderTest::SetUp();
        ASSERT_TRUE(prepareStoreFile(folder(), listingsTable()).isEmpty());
        Screens::instance().registerMainWindow([] { return new MDIForm1; });
        Screens::instance().registerScreen(ScreenId::Form1, [] { return new Form1; });
        Print::setBackend(std::make_shared<PdfFolder>(documents_.path()));
    }
    void TearDown() override {
        Screens::instance().discardAll();
        Print::setBackend(nullptr);
        DataFolderTest::TearDown();
    }

    // The screen open with a listing typed in, key by key.
    Form1* openTyped() {
        auto* form = qobject_cast<Form1*>(Screens::instance().show(ScreenId::Form1));
        EXPECT_TRUE(form);
        if (!form) {
            return nullptr;
        }
        EXPECT_TRUE(QTest::qWaitForWindowActive(form->window()));
        for (const auto& [name, value] : kTyped) {
            auto* edit = form->listingForm()->findChild<QLineEdit*>(QLatin1String(name));
            EXPECT_TRUE(edit) << name;
            if (!edit) {
                continue;
            }
            edit->setFocus();
            for (const QChar c : value) {
                QTest::sendKeyEvent(QTest::Click, edit, Qt::Key_unknown, QString(c),
                                    Qt::NoModifier);
            }
        }
        return form;
    }

    // What a reader finds in the PDF of the typed listing: every typed
    // value, the owner after its caption on the same line, the owner as the
    // document's name, and no picture of the form.
    void expectTheListing(const QString& pdf) {
        const QString text = pdfText(pdf);
        for (const auto& [name, value] : kTyped) {
            EXPECT_TRUE(text.contains(foldKafYeh(value))) << name << " not found in the printout:\n"
                                                          << text.toStdString();
        }
        const QStringList lines = text.split(QLatin1Char('\n'));
        const auto ownerLine = std::find_if(
            lines.begin(), lines.end(), [](const QString& line) { return line.contains(kOwner); });
        ASSERT_NE(ownerLine, lines.end());
        EXPECT_LT(ownerLine->indexOf(QStringLiteral("مالك")),
                  ownerLine->indexOf(foldKafYeh(kOwner)))
            << ownerLine->toStdString();
        EXPECT_GE(ownerLine->indexOf(QStringLiteral("مالك")), 0) << ownerLine->toStdString();
        EXPECT_EQ(pdfTitle(pdf), kOwner);
        EXPECT_EQ(pdfImages(pdf), QStringList()) << "the form went to paper as a picture";
    }

    static inline const QString kOwner = QStringLiteral("حسين كاظمي");
    static inline const std::pair<const char*, QString> kTyped[] = {
        {"Text1", kOwner},
        {"Text2", QStringLiteral("ونك")},
        {"Text4", QStringLiteral("خيابان ملاصدرا كوچه شيراز")},
        {"Text6", QStringLiteral("1402/05/12")},
    };
    QTemporaryDir documents_;
};

TEST_F(FormPrintTest, WithoutAPrinterThePdfHoldsTheFormsTextsAndIsNamedAfterTheOwner) {
    Form1* form = openTyped();
    ASSERT_TRUE(form);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_P, Qt::ControlModifier);
    const QStringList pdfs = QDir(documents_.path()).entryList({QStringLiteral("*.pdf")});
    ASSERT_EQ(pdfs.size(), 1);
    const QString pdf = QDir(documents_.path()).filePath(pdfs[0]);
    ASSERT_EQ(boxes().shown().size(), 2u);
    EXPECT_TRUE(boxes().shown()[1].request.text.contains(pdf));
    expectTheListing(pdf);
}

TEST_F(FormPrintTest, OnAPrintersPaperTheFormFitsInsideTheMarginsAndKeepsItsTexts) {
    Form1* form = openTyped();
    ASSERT_TRUE(form);
    // A printer with Letter paper, wide margins and 600 dots an inch.
    const QPageLayout letter(QPageSize(QPageSize::Letter), QPageLayout::Portrait,
                             QMarginsF(36, 36, 36, 36), QPageLayout::Point);
    const QString pdf = documents_.filePath(QStringLiteral("printer.pdf"));
    ASSERT_TRUE(
        QtPrintBackend::writePdf(Print::widgetPage(form->listingForm()), kOwner, pdf, letter, 600));
    expectTheListing(pdf);
    // The form is wider than tall: the paper turned, Letter's size.
    const QString info = poppler(QStringLiteral("pdfinfo"), {pdf});
    EXPECT_TRUE(info.contains(QStringLiteral("792 x 612 pts (letter)"))) << info.toStdString();
}

} // namespace
} // namespace velmoran
