#pragma once

#include <QLabel>
#include <QString>

namespace velmoran {

// A label whose text is one tile repeated, as a background of words: drawn
// tile by tile in rows from the leading edge, each tile's words drawn on
// their own. A word-wrapped QLabel lays its whole text out as one paragraph,
// and Qt's text engine shapes a long run of one script in pieces of at most
// 4096 characters, so a word that straddles such a boundary comes out cut
// and its letters unjoined; tiles drawn one at a time are always whole.
class TiledLabel : public QLabel {
    Q_OBJECT
public:
    // `tile` is a tile's words followed by the gap to the next tile; the
    // label's text is `tile` `count` times.
    TiledLabel(const QString& tile, int count, QWidget* parent = nullptr);

    QString tile() const { return tile_; }
    int count() const { return count_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString tile_;
    int count_;
};

} // namespace velmoran
