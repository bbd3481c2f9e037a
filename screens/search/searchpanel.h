#pragma once

#include "screens/search/findpress.h"
#include "ui/screen.h"

#include <QList>

#include <cstddef>
#include <functional>

class QLineEdit;

namespace velmoran {

// The fonts of the search panels' controls.
enum class PanelFont {
    KindLabel, // "B Traffic" 15.75 bold: the block's property kind
    DealLabel, // "B Jadid" 11.25 bold: the row's deal
    Box,       // "B Nazanin" 12
    Default,   // the window's font: the buttons
    Command,   // "B Badr" 15.75 bold: a button of its own (the edit panel's delete)
};

// One control of a search panel as the form designer placed it, in twips
// from the panel's top left corner.
struct PanelControl {
    enum Kind { Label, TextBox, Button };

    const char* objectName;
    Kind kind;
    const char* caption; // UTF-8; null for a text box
    PanelFont font;
    int left;
    int top;
    int width;
    int height;
    int tabIndex;
};

// What makes a search panel: its controls, its find buttons (each a row of
// data run by the one find press), its client size in twips and its frame.
struct PanelDesign {
    const PanelControl* controls;
    std::size_t controlCount;
    const FindButton* buttons;
    std::size_t buttonCount;
    int clientWidth;
    int clientHeight;
    bool sizable;          // a sizable tool-window frame, else a fixed one
    const char* caption;   // UTF-8
    bool opensBottomRight; // opens in the screen's bottom right corner when there is room
};

// A criteria panel (Form4, Form13 of the search screen; Form8 of the edit
// view): a top-level tool window of boxes and find buttons, driving its
// target screen's record source. It keeps nothing but its boxes' texts, which
// live until it is closed. The focus opens in the control of the lowest tab
// index.
class SearchPanel : public Screen {
    Q_OBJECT
public:
    // A panel of the search screen.
    SearchPanel(ScreenId id, const PanelDesign& design);

    const PanelDesign& design() const { return design_; }
    QLineEdit* box(const QString& objectName) const;
    // The text boxes and buttons in tab order.
    const QList<QWidget*>& tabOrder() const { return tabOrder_; }

    // The screen every find button of the search panels drives.
    static constexpr ScreenId kTarget = ScreenId::Form2;
    // The screen this panel's find buttons drive.
    ScreenId target() const { return target_; }

protected:
    // A panel driving `target`; `clear` is its clearing operation, run after
    // a no-match by the rows that ask for it.
    SearchPanel(ScreenId id, const PanelDesign& design, ScreenId target,
                std::function<void()> clear);

    void showEvent(QShowEvent* event) override;

private:
    void build();
    // Widens the columns of boxes where a price of ten digits would not show
    // whole, moving the controls beside them; the pixels the panel grew.
    int widenForPrices();
    // Its place on the screen when it opens (panelplacement.h).
    void place();

    PanelDesign design_;
    ScreenId target_;
    QList<QWidget*> tabOrder_;
    bool placed_ = false;
};

} // namespace velmoran
