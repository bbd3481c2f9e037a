#include "screens/info/makerdetails.h"

namespace velmoran {

QString makerPerson() {
    return QStringLiteral("آرش نيكو");
}

QString makerLegalNotice() {
    return QStringLiteral("© 2004-2008 Velmoran");
}

} // namespace velmoran
