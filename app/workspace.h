#pragma once

#include <QMdiArea>
#include <QPixmap>

namespace velmoran {

// The main window's client area: the application-workspace colour with the
// background picture at the top left, and the listing screens inside it.
class Workspace : public QMdiArea {
    Q_OBJECT
public:
    explicit Workspace(QWidget* parent = nullptr);

    const QPixmap& picture() const { return picture_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPixmap picture_;
};

} // namespace velmoran
