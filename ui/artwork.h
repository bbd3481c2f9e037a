#pragma once

#include <QIcon>
#include <QPixmap>
#include <QString>

namespace velmoran {

// The main window's pictures, painted here rather than loaded from files.

// The background of the main window's workspace: a landscape with a house and
// the maker's name, 826 x 590 pixels.
QPixmap backgroundPicture();
constexpr int kBackgroundWidth = 826;
constexpr int kBackgroundHeight = 590;

// The program's icon, a house on a blue tile, at the sizes of kIconSizes.
QIcon applicationIcon();
constexpr int kIconSizes[] = {16, 22, 24, 32, 48, 64, 128, 256};

// The maker's name as the pictures show it.
QString makerName();

} // namespace velmoran
