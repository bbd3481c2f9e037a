#pragma once

#include "screens/search/searchpanel.h"

namespace velmoran {

class RecordSource;

// The edit panel, "search for delete or edit": a fixed tool window whose find
// buttons (sale, mortgage and rent price ranges, and the owner's name) drive
// the edit view's record source through the one find press, and whose delete
// button removes the listing the edit view shows. A press while the edit
// view is closed opens it first, on its first listing, and works on it.
// The focus opens on the rent row's search button, Command6.
class Form8 : public SearchPanel {
    Q_OBJECT
public:
    Form8();

    // Its controls and find buttons, as designed.
    static const PanelDesign& panelDesign();

    // Empties the six price boxes, Text1, Text2, Text68, Text56, Text3 and
    // Text4 in that order; the owner name (Text5) stays. The find buttons
    // run it after a no-match where their row says so.
    void clearallcommands();

    // "حذف": asks, naming the owner the edit view shows; on Yes removes that
    // listing from the table at once and shows the first listing (or empty
    // fields when none is left). Without a listing shown, Yes is told that
    // there is no file to delete.
    void Command9_Click();

private:
    // The delete itself, once the user said Yes.
    static void deleteShown(RecordSource& source);
};

} // namespace velmoran
