#pragma once

#include <QLayout>
#include <QList>

// Lays its widgets out left to right and starts a new row when the next one
// would not fit, so a row of switches stays whole in a narrow pane instead of
// widening it. Its minimum width is that of its widest item.
class FlowLayout : public QLayout
{
public:
    explicit FlowLayout(QWidget* parent = nullptr);
    ~FlowLayout() override;

    void addItem(QLayoutItem* item) override;
    int count() const override;
    QLayoutItem* itemAt(int index) const override;
    QLayoutItem* takeAt(int index) override;

    Qt::Orientations expandingDirections() const override;
    bool hasHeightForWidth() const override;
    int heightForWidth(int width) const override;
    QSize minimumSize() const override;
    QSize sizeHint() const override;
    void setGeometry(const QRect& rect) override;

private:
    // Places the visible items in `rect` (only measures when `place` is false);
    // returns the height the rows take.
    int arrange(const QRect& rect, bool place) const;
    int horizontalGap() const;

    QList<QLayoutItem*> mItems;
};
