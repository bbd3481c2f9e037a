#pragma once

#include "data/core/fieldcaptions.h"

#include <QStringList>

namespace velmoran {

// The heading of each listing field in an export: its caption on the listing
// screens (fieldcaptions.h).
inline QStringList exportHeadings() {
    return listingFieldCaptions();
}

} // namespace velmoran
