#include "tests/support/findcases.h"

#include "data/store/recordsource.h"
#include "screens/edit/form8.h"
#include "data/core/findcriterion.h"
#include "screens/search/form13.h"
#include "screens/search/form4.h"

#include <gtest/gtest.h>

#include <random>

namespace velmoran::test {

QStringList numberWritings() {
    QStringList w = {"",
                     "0",
                     "1",
                     "99",
                     "100",
                     "150",
                     "199",
                     "200",
                     "1000",
                     "4999",
                     "5000",
                     "12000",
                     "150000000",
                     "450000000",
                     "2500000",
                     "-150",
                     "+150",
                     "-0",
                     "0.5",
                     ".5",
                     "150.",
                     "-.5",
                     "150.5",
                     "1,500",
                     "12,345,678",
                     "1,50",
                     "1234,567",
                     ",150",
                     "1,",
                     "1.5,000",
                     "۱۵۰",
                     "١٥٠",
                     "۱٬۵۰۰",
                     "۱۵۰٫۵",
                     "١٬٢٣٤٫٥",
                     "1۲3",
                     " 150",
                     "150 ",
                     "\t150\t",
                     "\n150\r",
                     "\u00a0150\u00a0",
                     "1 50",
                     "- 150",
                     "--150",
                     "+-150",
                     "150-",
                     "1e3",
                     "0x10",
                     "inf",
                     "NaN",
                     "توافقي",
                     "150 تومان",
                     "۱۵۰ميليون",
                     ".",
                     "+",
                     "-",
                     "٫",
                     "٬",
                     "1.2.3",
                     "00150",
                     "0000000000000000000150",
                     "100.00000000000000001",
                     "199.99999999999999999",
                     "+.5",
                     "+1,000",
                     "-1,000.25",
                     "1,500.5",
                     "۱۵۰۰۰۰۰۰۰",
                     "٫۵",
                     "1٬234",
                     "0.1",
                     "1.5e",
                     "150000000.0000000001",
                     "499999999.99999999999999",
                     "123456789.123456789123"};
    const QString d70(70, QLatin1Char('7'));
    w << d70 << d70 + "7"
      << "-" + d70.left(69) << "-" + d70 << "+" + d70 << d70 + "." + "5" << d70 + ".55"
      << "." + QString(70, QLatin1Char('1')) << "." + QString(71, QLatin1Char('1'))
      << "-." + QString(69, QLatin1Char('1')) << "-." + QString(70, QLatin1Char('1'))
      << QString(35, QLatin1Char('9')) + "," + "999"
      << "   " + d70 + "   ";
    return w;
}

QStringList panelCriteria(const QStringList& typedBounds, const QStringList& owners, int rounds,
                          unsigned seed) {
    QStringList criteria;
    std::mt19937 random(seed);
    for (const PanelDesign* design :
         {&Form4::panelDesign(), &Form13::panelDesign(), &Form8::panelDesign()}) {
        for (std::size_t i = 0; i < design->buttonCount; ++i) {
            const FindButton& button = design->buttons[i];
            if (button.find != FindKind::First) {
                continue; // a next press sends its row's same criterion
            }
            if (button.shape == CriterionShape::Owner) {
                for (const QString& owner : owners) {
                    criteria << *buildCriterion(button.shape, {owner}, QString());
                }
                continue;
            }
            for (int round = 0; round < rounds; ++round) {
                QStringList typed;
                for (int b = 0; b < boxCount(button.shape); ++b) {
                    typed << typedBounds[random() % typedBounds.size()];
                }
                if (round == 0) { // a wide range that holds most numbers
                    typed[0] = "-200";
                    typed[1] = "12345678901234567890";
                }
                const std::optional<QString> criterion =
                    buildCriterion(button.shape, typed, QString::fromUtf8(button.closingPiece));
                EXPECT_TRUE(criterion) << typed.join('|').toStdString();
                criteria << criterion.value_or(QString());
            }
        }
    }
    return criteria;
}

QStringList languageCriteria() {
    QStringList criteria;
    const QString widest =
        QStringLiteral("> '-%1' AND  %3 < '%2'").arg(QString(69, '9'), QString(70, '9'));
    criteria << "gheymatehkoole " + widest.arg("gheymatehkoole") + " and  fooroosh = -1"
             << "vahed02 " + widest.arg("vahed02") << "gheymatehkoole > '-1'"
             << "vahed02 < '1' and vahed02 < '2'"
             << "malek > 'a'"
             << "malek < 'ي' and malek > ''"
             << "gheymatehkoole > '1,000' and gheymatehkoole < '۲۰۰۰'"
             << "gheymatehkoole > 'abc'"
             << "gheymatehkoole = '150'"
             << "vahed02 < 0"
             << "vila = '-1'"
             << "vila = ' -1 '"
             << "vila = '-1.0'"
             << "vila < 'x' and rahn = 0"
             << "vila > 'x'"
             << "vila > -2 and vila < 0";
    return criteria;
}

std::vector<long long> foundIds(RecordSource& source, const QString& criterion) {
    std::vector<long long> ids;
    source.FindFirst(criterion);
    while (!source.NoMatch()) {
        ids.push_back(source.currentRowId());
        source.FindNext(criterion);
    }
    return ids;
}

} // namespace velmoran::test
