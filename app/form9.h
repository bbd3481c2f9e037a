#pragma once

#include "ui/screen.h"

#include <optional>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace velmoran {

class BoundTextBox;
class RecordSource;

// The login screen: the program's first screen. It lets the user into the
// main window when the typed text equals the stored password (field
// `passsecurity` of the first row of table `pc`, bound to the hidden Text2)
// or the master password (the hidden Text3). Afterwards it serves, opened
// again but never shown, as the holder of the stored password for the
// password change; the main window's sweep unloads it, and its record source
// then writes a changed password to table `pc`.
class Form9 : public Screen {
    Q_OBJECT
public:
    Form9();

    // The stored-password holder: the open Form9, or a hidden one opened now
    // (its record source afresh on the first row of table `pc`). Null when
    // table `pc` can't be opened; the user has seen the message then.
    static Form9* holder();
    // The text of the holder's Text2; none when the holder can't be opened.
    static std::optional<QString> storedPassword();
    // Writes `password` into the holder's Text2: a change of the current row,
    // stored when Form9 unloads. When table `pc` has no row, a row is added
    // to hold it. False (the user has seen why) when that fails.
    static bool setStoredPassword(const QString& password);

    void Command1_Click();
    void Command2_Click();
    void Label1_Click();
    void Text1_KeyPress(int keyAscii);

protected:
    void Form_Load() override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QLabel* Label1;
    QGroupBox* Frame1;
    QLabel* Label2;
    QLineEdit* Text1;
    QPushButton* Command1;
    QPushButton* Command2;
    BoundTextBox* Text2;
    QLineEdit* Text3;
    RecordSource* Data1 = nullptr;
};

} // namespace velmoran
