#include "platform/ui/ImageList.h"

int TImageList::Add(const QPixmap& Image) {
    if (Image.width() == mWidth && Image.height() == mHeight)
        mImages.push_back(Image);
    else
        mImages.push_back(Image.scaled(mWidth, mHeight, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    return Count() - 1;
}

QPixmap TImageList::Pixmap(int Index) const {
    if (Index < 0 || Index >= Count())
        return {};
    return mImages[static_cast<std::size_t>(Index)];
}

QIcon TImageList::Icon(int Index) const {
    const QPixmap P = Pixmap(Index);
    return P.isNull() ? QIcon() : QIcon(P);
}
