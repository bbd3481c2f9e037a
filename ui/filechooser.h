#pragma once

#include <QString>

#include <functional>

class QWidget;

namespace velmoran {

// Every file the user picks goes through FileChooser::openFile, so tests can
// answer from a queue instead of a native dialog.
namespace FileChooser {

// The dialog's choice: a file's path, empty when the user cancels.
using OpenFile =
    std::function<QString(QWidget* parent, const QString& title, const QString& filter)>;

// Asks for an existing file to read, right to left; `filter` as
// QFileDialog takes it ("اكسل (*.xlsx)").
QString openFile(QWidget* parent, const QString& title, const QString& filter);

// Replaces the dialog (tests); an empty function puts the dialog back.
void setOpenFile(OpenFile openFile);

} // namespace FileChooser
} // namespace velmoran
