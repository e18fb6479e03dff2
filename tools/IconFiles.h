#pragma once
// The program's icon at the sizes desktops ask for: square PNGs for the icon theme, and one
// Windows .ico holding several sizes.

#include <QByteArray>
#include <QImage>
#include <QList>

namespace icons {

// The drawing scaled to size × size with smoothing, as 8-bit ARGB whatever the source's depth.
QImage Scaled(const QImage &drawing, int size);

// A Windows icon file whose entries are the images as PNG, in the given order (the form Windows
// has read since Vista). Images must be square, 1 to 256 pixels; otherwise the result is empty.
QByteArray IcoFile(const QList<QImage> &images);

} // namespace icons
