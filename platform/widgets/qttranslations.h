#pragma once

#include <QString>

namespace velmoran {

// Qt's own dialogs (the file chooser, the print dialog, the standard buttons)
// speak Persian through Qt's translations: qtbase_fa.qm, looked for in the
// folder "translations" beside the program (the Windows install) and then in
// Qt's own translations folder (Debian's qt6-translations-l10n). Returns the
// file installed, empty when none was found; the dialogs then stay English.
QString installQtTranslations();

} // namespace velmoran
