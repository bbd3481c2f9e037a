#pragma once

#include "ui/screen.h"

namespace velmoran {

// Contact us: the person to contact and two e-mail addresses. The main
// window is switched off while it is open; a click or a double-click on the
// background closes it (a click on a label or the picture does not), and so
// does its close box.
class Form11 : public Screen {
    Q_OBJECT
public:
    Form11();

    void Form_Click();
    void Form_DblClick();

protected:
    void Form_Load() override;
    void Form_Unload() override;
};

} // namespace velmoran
