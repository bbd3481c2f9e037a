#pragma once

#include "platform/messagebox.h"

class QFont;

namespace velmoran::MessageBox {

// The backend the program shows its boxes with: a modal QMessageBox, right
// to left, with Persian button texts; Yes is the default button and Escape
// answers No. The text is shown as plain text, never as markup, since a
// message may echo what the user typed.
class QtBackend : public Backend {
public:
    int show(const Request& request) override;
};

// The least width of a box with `title` in `font`: its title whole beside
// the title bar's icon and buttons. Every box is at least this wide.
int minimumBoxWidth(const QString& title, const QFont& font);

// The Persian texts of the buttons.
QString okButtonText();
QString yesButtonText();
QString noButtonText();
QString cancelButtonText();

} // namespace velmoran::MessageBox
