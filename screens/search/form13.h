#pragma once

#include "screens/search/searchpanel.h"

namespace velmoran {

// The residential search panel: income property, apartments and villas, each
// for sale, mortgage and rent; a sizable tool window captioned with a blank.
class Form13 : public SearchPanel {
    Q_OBJECT
public:
    Form13();

    // Its controls and find buttons, as designed.
    static const PanelDesign& panelDesign();
};

} // namespace velmoran
