#pragma once

#include <QMap>
#include <QPixmap>

namespace brixel {

// The window's 32 x 32 pictures, addressed by index. Only the indices the window
// uses have a picture; any other index gives an empty pixmap.
class ImageList {
public:
    static constexpr int kSize = 32;
    ImageList();
    QPixmap pixmap(int index) const { return pictures_.value(index); }
    QList<int> indices() const { return pictures_.keys(); }

private:
    QMap<int, QPixmap> pictures_;
};

} // namespace brixel
