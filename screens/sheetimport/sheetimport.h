#pragma once

class QWidget;

namespace velmoran {

class SheetPreview;

// Adding an agency's spreadsheet to the listings, from the main window
// (Ctrl+I) or a screen's menu: asks for an .xlsx or .csv file
// (FileChooser), reads it through with a progress window, and shows the
// preview (SheetPreview), application-modal; returns at once with it. Nothing
// when the user chose no file or cancelled, or the file was refused (its
// message shown).
SheetPreview* showSheetImport(QWidget* parent);

} // namespace velmoran
