#include "screens/search/searchpanel.h"

#include "platform/twips.h"
#include "platform/widgets/fixedwindow.h"
#include "platform/widgets/fonts.h"
#include "platform/widgets/placement.h"
#include "platform/widgets/textfit.h"
#include "screens/search/panelplacement.h"
#include "ui/mainwindow.h"
#include "ui/screens.h"

#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QStyle>

#include <algorithm>
#include <cstdlib>
#include <utility>
#include <vector>

namespace velmoran {

namespace {

QFont panelFont(PanelFont font) {
    switch (font) {
    case PanelFont::KindLabel:
        return designFont(QStringLiteral("B Traffic"), 15.75, true);
    case PanelFont::DealLabel:
        return designFont(QStringLiteral("B Jadid"), 11.25, true);
    case PanelFont::Box:
        return designFont(QStringLiteral("B Nazanin"), 12);
    case PanelFont::Command:
        return designFont(QStringLiteral("B Badr"), 15.75, true);
    case PanelFont::Default:
        break;
    }
    return designFont(QStringLiteral("MS Sans Serif"), 8.25);
}

// Boxes whose design left edges are this close (twips) stand in one column.
constexpr int kSameColumn = 150;

// The agencies' longest prices: ten digits.
constexpr int kPriceDigits = 10;

// The width `box` needs to show a price of ten digits whole, in its font.
int widthForPrice(const QLineEdit* box) {
    const QFontMetrics metrics(box->font());
    int digit = 0;
    for (const QChar c :
         QStringLiteral("0123456789\u06F0\u06F1\u06F2\u06F3\u06F4\u06F5\u06F6\u06F7\u06F8\u06F9")) {
        digit = std::max(digit, metrics.horizontalAdvance(c));
    }
    return digit * kPriceDigits + lineEditChrome(box);
}

QWidget* makeControl(const PanelControl& control, QWidget* parent) {
    const QString caption = QString::fromUtf8(control.caption);
    switch (control.kind) {
    case PanelControl::Label: {
        auto* label = new QLabel(caption, parent);
        // The kind stands over the middle of its block, the deal at the
        // right edge, where the row starts.
        label->setAlignment(control.font == PanelFont::KindLabel
                                ? Qt::AlignCenter
                                : Qt::AlignRight | Qt::AlignAbsolute | Qt::AlignVCenter);
        return label;
    }
    case PanelControl::TextBox: {
        auto* box = new QLineEdit(parent);
        // Right-aligned, numbers too, as the listing screens' boxes are.
        box->setAlignment(Qt::AlignRight | Qt::AlignAbsolute | Qt::AlignVCenter);
        return box;
    }
    case PanelControl::Button: {
        auto* button = new QPushButton(caption, parent);
        // No default button: Enter does not press anything.
        button->setAutoDefault(false);
        button->setDefault(false);
        return button;
    }
    }
    return nullptr;
}

} // namespace

SearchPanel::SearchPanel(ScreenId id, const PanelDesign& design)
    : SearchPanel(id, design, kTarget, {}) {}

SearchPanel::SearchPanel(ScreenId id, const PanelDesign& design, ScreenId target,
                         std::function<void()> clear)
    : Screen(id), design_(design), target_(target) {
    Qt::WindowFlags flags =
        Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint;
    if (!design.sizable) {
        flags |= Qt::MSWindowsFixedSizeDialogHint;
    }
    setWindowFlags(flags);
    setWindowTitle(QString::fromUtf8(design.caption));
    setFont(panelFont(PanelFont::Default));
    build();
    const int extra = widenForPrices();
    const QSize client(twipsToPixels(design.clientWidth, logicalDpiX()) + extra,
                       twipsToPixels(design.clientHeight, logicalDpiY()));
    if (design.sizable) {
        resize(client);
        setMinimumSize(client);
    } else {
        setFixedSize(client);
    }
    if (!tabOrder_.isEmpty()) {
        tabOrder_.first()->setFocus(Qt::OtherFocusReason);
    }
    connectFindButtons(this, target_, design.buttons, design.buttonCount, std::move(clear));
}

void SearchPanel::build() {
    std::vector<std::pair<int, QWidget*>> focusable;
    for (std::size_t i = 0; i < design_.controlCount; ++i) {
        const PanelControl& control = design_.controls[i];
        QWidget* widget = makeControl(control, this);
        widget->setObjectName(QString::fromLatin1(control.objectName));
        if (control.font != PanelFont::Default) {
            widget->setFont(panelFont(control.font));
        }
        placeTwips(widget, control.left, control.top, control.width, control.height);
        if (control.kind == PanelControl::Label) {
            widget->lower(); // a label stands under the boxes it touches
        } else {
            focusable.emplace_back(control.tabIndex, widget);
        }
    }
    std::stable_sort(focusable.begin(), focusable.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    for (const auto& entry : focusable) {
        if (!tabOrder_.isEmpty()) {
            QWidget::setTabOrder(tabOrder_.last(), entry.second);
        }
        tabOrder_.append(entry.second);
    }
}

int SearchPanel::widenForPrices() {
    // The boxes in columns: those whose design left edges are close together.
    struct Column {
        int left; // twips
        int extra = 0;
    };
    std::vector<Column> columns;
    const auto columnOf = [&columns](int left) -> Column* {
        for (Column& column : columns) {
            if (std::abs(column.left - left) <= kSameColumn) {
                return &column;
            }
        }
        return nullptr;
    };
    for (std::size_t i = 0; i < design_.controlCount; ++i) {
        const PanelControl& control = design_.controls[i];
        if (control.kind != PanelControl::TextBox) {
            continue;
        }
        const QLineEdit* edit = box(QLatin1String(control.objectName));
        Column* column = columnOf(control.left);
        if (!column) {
            columns.push_back({control.left});
            column = &columns.back();
        }
        column->left = std::min(column->left, control.left);
        column->extra = std::max(column->extra, widthForPrice(edit) - edit->width());
    }
    int total = 0;
    for (const Column& column : columns) {
        total += column.extra;
    }
    if (total == 0) {
        return 0;
    }
    // Every control moves right by what the columns on its left grew; a box
    // grows by its own column's share.
    for (std::size_t i = 0; i < design_.controlCount; ++i) {
        const PanelControl& control = design_.controls[i];
        auto* widget = findChild<QWidget*>(QLatin1String(control.objectName));
        const Column* own =
            control.kind == PanelControl::TextBox ? columnOf(control.left) : nullptr;
        int shift = 0;
        for (const Column& column : columns) {
            if (&column != own && column.left < (own ? own->left : control.left)) {
                shift += column.extra;
            }
        }
        widget->setGeometry(widget->x() + shift, widget->y(),
                            widget->width() + (own ? own->extra : 0), widget->height());
    }
    return total;
}

QLineEdit* SearchPanel::box(const QString& objectName) const {
    return findChild<QLineEdit*>(objectName);
}

void SearchPanel::showEvent(QShowEvent* event) {
    if (!placed_) {
        placed_ = true;
        place();
    }
    // Kept above the main window, whose screens it works on, when the user
    // clicks into them; it stays a window of its own.
    keepAbove(this, Screens::instance().mainWindow());
    Screen::showEvent(event);
}

void SearchPanel::place() {
    QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    if (!screen) {
        return;
    }
    const QRect area = screen->availableGeometry();
    // The desktop's frame around the panel: its title bar above it, a
    // border on every side.
    const int titleBar = style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, this) + 4;
    const int border = 4;
    const QSize frame = size() + QSize(2 * border, titleBar + border);
    // Below the main window's menu bar, whose right or left end holds the
    // buttons of a maximised listing screen.
    int top = area.top();
    if (MainWindow* window = Screens::instance().mainWindow();
        window && window->isVisible() && window->menuBar()) {
        const QWidget* bar = window->menuBar();
        top = bar->mapToGlobal(QPoint(0, bar->height())).y();
    }
    QList<QRect> others;
    for (ScreenId id : {ScreenId::Form4, ScreenId::Form13, ScreenId::Form8}) {
        Screen* other = Screens::instance().find(id);
        if (other && other != this && other->isVisible()) {
            others << other->frameGeometry();
        }
    }
    const QPoint corner =
        panelPlace(area, top, frame, keptInSight(Screens::instance().find(target_)), others,
                   design_.opensBottomRight);
    move(corner + QPoint(border, titleBar));
}

} // namespace velmoran
