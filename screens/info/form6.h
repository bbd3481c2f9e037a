#pragma once

#include "ui/screen.h"

namespace velmoran {

// About us: who built the program, the maker's logotype and the rights
// notices. The main window is switched off while it is open; a click on the
// background closes it (a click on a label or a picture does not), and so do
// its close box and the main window's sweep.
class Form6 : public Screen {
    Q_OBJECT
public:
    Form6();

    void Form_Click();

protected:
    void Form_Load() override;
    void Form_Unload() override;
};

} // namespace velmoran
