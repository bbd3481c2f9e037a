#pragma once

#include "screens/search/searchpanel.h"

namespace velmoran {

// The commercial search panel: old buildings, shops and offices, each for
// sale, mortgage and rent; a fixed tool window with an empty caption.
class Form4 : public SearchPanel {
    Q_OBJECT
public:
    Form4();

    // Its controls and find buttons, as designed.
    static const PanelDesign& panelDesign();
};

} // namespace velmoran
