#pragma once

#include "platform/print.h"

#include <QImage>
#include <QString>

#include <vector>

namespace velmoran::Print {

// Test double: keeps every page it is given, drawn into an image at the
// page's size when it came, and answers with the outcome set (a printed page
// unless told otherwise).
class Recorder : public Backend {
public:
    struct Recorded {
        Page page;
        QImage image;
        QString title;
    };

    Outcome printPage(const Page& page, const QString& title) override;

    void setOutcome(const Outcome& outcome) { outcome_ = outcome; }
    const std::vector<Recorded>& pages() const { return pages_; }

private:
    std::vector<Recorded> pages_;
    Outcome outcome_{Outcome::Printed, QStringLiteral("recorder"), QString()};
};

} // namespace velmoran::Print
