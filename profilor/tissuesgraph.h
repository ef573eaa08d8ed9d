#pragma once

#include "profilor/profilorglobal.h"

#include <QColor>
#include <QFont>
#include <QWidget>

#include <array>

// The 16 tissue compartment values of the decompression model as 16 green
// bars numbered 1 to 16, each labelled with its value. The bars are scaled
// between the smallest and the largest value, so they show how the
// compartments compare with each other, not their absolute level.
class PROFILOR_EXPORT TissuesGraph : public QWidget
{
    Q_OBJECT
public:
    static constexpr int kCompartments = 16;
    using Values = std::array<float, kCompartments>;

    explicit TissuesGraph(QWidget* parent = nullptr);

    // Copies the 16 values and repaints at once. A value that is not a finite
    // number is shown as 0; a null pointer changes nothing.
    void setValues(const float* values);
    void setValues(const Values& values);
    // All values back to 0: only the background and the base line are drawn.
    void reset();
    const Values& values() const { return mValues; }

    void setFrontColor(const QColor& color);
    void setBackgroundColor(const QColor& color);
    QColor frontColor() const { return mFrontColor; }
    QColor backgroundColor() const { return mBackgroundColor; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void updateColorsFromSystemPalette();

    int mMargin = 5;
    int mSpacing = 5;
    int mSpareX = 5; // kept with the layout values; the drawing does not use them
    int mSpareY = 5;
    Values mValues{};
    QFont mFont;
    int mFontHeight = 0;
    QColor mFrontColor = Qt::black;
    QColor mBackgroundColor = QColor(QStringLiteral("#F0F0F0"));
};
