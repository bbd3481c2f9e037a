#include "data/core/storeerror.h"

namespace velmoran {

StoreError::StoreError(const QString& message, Kind kind)
    : std::runtime_error(message.toStdString()), message_(message), kind_(kind) {}

} // namespace velmoran
