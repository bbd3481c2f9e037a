#include "screens/search/searchpanel.h"

#include "platform/twips.h"
#include "platform/widgets/fixedwindow.h"
#include "platform/widgets/fonts.h"
#include "platform/widgets/placement.h"
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
#include <utility>
#include <vector>

namespace velmoran {

namespace {

// The width of a place on the screen for a panel, in twips: the wider panel
// and a margin.
constexpr int kSlotWidth = 3720;

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
    if (design.sizable) {
        resizeTwips(this, design.clientWidth, design.clientHeight);
    } else {
        setFixedSize(twipsToPixels(design.clientWidth, logicalDpiX()),
                     twipsToPixels(design.clientHeight, logicalDpiY()));
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

QLineEdit* SearchPanel::box(const QString& objectName) const {
    return findChild<QLineEdit*>(objectName);
}

void SearchPanel::showEvent(QShowEvent* event) {
    if (!placed_) {
        placed_ = true;
        // Side by side from the left of the screen, under the main menu bar.
        if (QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen()) {
            const QRect area = screen->availableGeometry();
            const int gap = twipsToPixels(180, logicalDpiX());
            const int slot = twipsToPixels(kSlotWidth, logicalDpiX());
            int top = area.top() + 4 * gap;
            // Below the main window's menu bar, whose right or left end holds
            // the buttons of a maximised listing screen.
            if (MainWindow* window = Screens::instance().mainWindow();
                window && window->isVisible() && window->menuBar()) {
                const QWidget* bar = window->menuBar();
                // The desktop may put its title bar above the place asked for.
                const int titleBar = style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, this);
                top =
                    std::max(top, bar->mapToGlobal(QPoint(0, bar->height())).y() + gap + titleBar);
            }
            move(area.left() + gap + design_.screenSlot * slot, top);
        }
    }
    // Kept above the main window, whose screens it works on, when the user
    // clicks into them; it stays a window of its own.
    keepAbove(this, Screens::instance().mainWindow());
    Screen::showEvent(event);
}

} // namespace velmoran
