#pragma once

#include <QIcon>
#include <QImage>
#include <QSize>

namespace wordbook {

// The pictures of the editor's five small buttons below its list.
enum class NavigationPicture { First, Previous, Next, Last, NewRecord };

// Logical size of every picture, in pixels.
inline constexpr QSize kNavigationPictureSize(11, 11);

// The picture drawn for a device pixel ratio (1 for 1x screens, 2 for 2x).
QImage navigationImage(NavigationPicture picture, int devicePixelRatio);
// An icon holding the picture at 1x and 2x, so it is sharp on both.
QIcon navigationIcon(NavigationPicture picture);

} // namespace wordbook
