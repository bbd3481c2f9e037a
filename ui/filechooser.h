#pragma once

#include <QString>

#include <functional>

class QWidget;

namespace velmoran {

// Every file the user picks goes through FileChooser::openFile or saveFile,
// so tests can answer from a queue instead of a native dialog.
namespace FileChooser {

// The dialog's choice: a file's path, empty when the user cancels.
using OpenFile =
    std::function<QString(QWidget* parent, const QString& title, const QString& filter)>;

// Asks for an existing file to read, right to left; `filter` as
// QFileDialog takes it ("اكسل (*.xlsx)").
QString openFile(QWidget* parent, const QString& title, const QString& filter);

// Replaces the dialog (tests); an empty function puts the dialog back.
void setOpenFile(OpenFile openFile);

// The save dialog's choice: the path to write, empty when the user cancels.
using SaveFile = std::function<QString(QWidget* parent, const QString& title,
                                       const QString& suggested, const QString& filter)>;

// Asks where to write a file, starting at `suggested`; the dialog asks
// before an existing file is chosen.
QString saveFile(QWidget* parent, const QString& title, const QString& suggested,
                 const QString& filter);

// Replaces the save dialog (tests); an empty function puts it back.
void setSaveFile(SaveFile saveFile);

} // namespace FileChooser
} // namespace velmoran
