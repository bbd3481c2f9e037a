#pragma once

#include "platform/print.h"

#include <QImage>
#include <QString>

#include <vector>

namespace velmoran::Print {

// Test double: keeps every page it is given and answers with the outcome set
// (a printed page unless told otherwise).
class Recorder : public Backend {
public:
    struct Page {
        QImage image;
        QString title;
    };

    Outcome printPage(const QImage& page, const QString& title) override;

    void setOutcome(const Outcome& outcome) { outcome_ = outcome; }
    const std::vector<Page>& pages() const { return pages_; }

private:
    std::vector<Page> pages_;
    Outcome outcome_{Outcome::Printed, QStringLiteral("recorder"), QString()};
};

} // namespace velmoran::Print
