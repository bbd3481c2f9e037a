#include "screens/sheetimport/sheetimport.h"

#include "screens/sheetimport/sheetpreview.h"
#include "data/store/storelocation.h"
#include "ui/filechooser.h"

namespace velmoran {

SheetPreview* showSheetImport(QWidget* parent) {
    const QString file =
        FileChooser::openFile(parent, QStringLiteral("برگه اي كه فايلهايش افزوده شود"),
                              QStringLiteral("برگه اكسل يا CSV (*.xlsx *.XLSX *.csv *.CSV)"));
    if (file.isEmpty()) {
        return nullptr;
    }
    const StoreLocation store = activeStore();
    std::optional<import::SheetImportReport> report = checkSheet(parent, store, file);
    if (!report) {
        return nullptr;
    }
    auto* preview = new SheetPreview(parent, store, file, std::move(*report));
    preview->setAttribute(Qt::WA_DeleteOnClose);
    preview->setWindowModality(Qt::ApplicationModal);
    preview->show();
    return preview;
}

} // namespace velmoran
