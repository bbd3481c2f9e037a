#pragma once

#include <QIcon>
#include <QPixmap>

namespace velmoran {

// The pictures of the information screens, painted here rather than loaded
// from files.

// The maker's logotype on the about-us screen: a roof over a key, the
// maker's name beneath; 367 x 288 pixels.
QPixmap makerLogotype();
constexpr int kLogotypeWidth = 367;
constexpr int kLogotypeHeight = 288;

// The about-us screen's small picture: a house on a tile, 32 x 32 pixels in
// 16 colours.
QPixmap aboutIcon();
constexpr int kAboutIconSize = 32;

// The contact screen's decorative picture: a letter, an "@" and the house on
// a tall band, 150 x 260 pixels.
QPixmap contactPicture();
constexpr int kContactPictureWidth = 150;
constexpr int kContactPictureHeight = 260;

// The contact screen's window icon: a letter on a tile, 32 x 32 pixels.
QIcon contactIcon();

} // namespace velmoran
