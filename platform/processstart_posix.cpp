#include "platform/processstart.h"

namespace velmoran::ProcessStart {

void prepare() {}

} // namespace velmoran::ProcessStart
