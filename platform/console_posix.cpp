#include "platform/console.h"

namespace velmoran::Console {

void useUtf8() {}

void attachToParent() {}

} // namespace velmoran::Console
