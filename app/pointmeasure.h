#pragma once

#include <optional>

struct Dive;

// What "Measure between 2 points" shows of two lines of a profile.
struct PointMeasure
{
    int first = -1;  // line indexes, first before second
    int second = -1;
    double firstTime = 0.0; // s
    double firstDepth = 0.0; // m
    double secondTime = 0.0;
    double secondDepth = 0.0;
    double duration = 0.0;   // s, second minus first
    double depthChange = 0.0; // m, second minus first (positive going down)
    // m/min, positive while descending; none for two points at the same time.
    std::optional<double> speed;

    // The measure between lines a and b in either order; none unless both
    // exist and differ.
    static std::optional<PointMeasure> between(const Dive& dive, int a, int b);
};
