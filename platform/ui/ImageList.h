#pragma once
// A list of same-sized images addressed by index, as tree nodes, list rows and reports use them.

#include <QIcon>
#include <QPixmap>

#include <vector>

/// Images of Width x Height pixels; an index outside the list gives an empty image.
class TImageList final {
public:
    TImageList(int Width, int Height) : mWidth(Width), mHeight(Height) {}

    /// Appends Image (scaled to the list's size when it differs); returns its index.
    int Add(const QPixmap& Image);
    int Count() const { return static_cast<int>(mImages.size()); }
    QPixmap Pixmap(int Index) const;
    QIcon Icon(int Index) const;
    int Width() const { return mWidth; }
    int Height() const { return mHeight; }

private:
    int mWidth;
    int mHeight;
    std::vector<QPixmap> mImages;
};
