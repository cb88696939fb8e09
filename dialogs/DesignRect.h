#pragma once
// A dialog control's place as designed, in twips; the tables name each field.

#include "shell/kit/Twips.h"

namespace zentimo {

struct DesignRect {
    int left;
    int top;
    int width;
    int height;
};

// In pixels, dx twips further right.
inline QRect pixels(const DesignRect& r, int dx = 0)
{
    return twipsRect(r.left + dx, r.top, r.width, r.height);
}

} // namespace zentimo
