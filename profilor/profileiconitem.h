#pragma once

#include "profilor/profilorglobal.h"

#include <QGraphicsPixmapItem>

// A small image that the profile item places on the profile for an alarm or a
// gas change, with its tool tip. Without an image it draws nothing but keeps a
// small hover area so that its tool tip can still be read.
class PROFILOR_EXPORT ProfileIconItem : public QGraphicsPixmapItem
{
public:
    // Profile points (the editable handles) use UserType + 1.
    enum { Type = UserType + 2 };

    explicit ProfileIconItem(QGraphicsItem* parent = nullptr);

    int type() const override { return Type; }
    QRectF boundingRect() const override;
    QPainterPath shape() const override;

    // Shows `image` (one of the class-wide marker images; null or a null image
    // shows nothing). The pixmap is converted once per image and shared.
    void setImage(const QImage* image);
    bool hasImage() const { return !pixmap().isNull(); }

private:
    qint64 mImageKey = 0;
};
