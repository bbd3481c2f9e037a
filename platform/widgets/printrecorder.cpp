#include "platform/widgets/printrecorder.h"

namespace velmoran::Print {

Outcome Recorder::printPage(const QImage& page, const QString& title) {
    pages_.push_back(Page{page, title});
    return outcome_;
}

} // namespace velmoran::Print
