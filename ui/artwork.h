#pragma once

#include <QIcon>
#include <QPixmap>

namespace velmoran {

// The main window's pictures, painted here rather than loaded from files.

// The background of the main window's workspace: a landscape with a house and
// the maker's name, 826 x 590 pixels.
QPixmap backgroundPicture();
constexpr int kBackgroundWidth = 826;
constexpr int kBackgroundHeight = 590;

// The main window's icon, 48 x 48 pixels: a house on a blue tile.
QIcon applicationIcon();
constexpr int kIconSize = 48;

// The maker's name as the pictures show it.
QString makerName();

} // namespace velmoran
