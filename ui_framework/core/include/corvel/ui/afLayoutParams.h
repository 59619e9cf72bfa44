// How a view wants to be placed by its parent layout: a size (pixels, or FILL_PARENT,
// or WRAP_CONTENT) on each axis and four margins.
#pragma once
#include "zem/base/Object.h"

namespace corvel {

class afLayoutParams : public zem::Object {
public:
    static constexpr int FILL_PARENT = -1;
    static constexpr int WRAP_CONTENT = -2;

    afLayoutParams() = default;
    afLayoutParams(int w, int h) : width(w), height(h) {}

    void setMargins(int left, int top, int right, int bottom) {
        marginLeft = left;
        marginTop = top;
        marginRight = right;
        marginBottom = bottom;
    }

    int width = 0;
    int height = 0;
    int marginLeft = 0;
    int marginTop = 0;
    int marginRight = 0;
    int marginBottom = 0;
};

// The record of a linear layout's children: a share of the spare room and a placement.
class afLayoutParamsLinear : public afLayoutParams {
public:
    afLayoutParamsLinear() = default;
    afLayoutParamsLinear(int w, int h, double weight_ = 0.0) : afLayoutParams(w, h), weight(weight_) {}

    double weight = 0.0;
    int gravity = -1; // -1: the layout's gravity
};

} // namespace corvel
