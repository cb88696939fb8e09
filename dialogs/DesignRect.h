#pragma once
// A dialog control's place as designed, in twips; the tables name each field.

#include "shell/kit/Twips.h"

namespace zentimo {

struct DesignRect {
    int left;
    int top;
    int width;
    int height;

    // dx twips further right.
    QRect pixels(int dx = 0) const { return twipsRect(left + dx, top, width, height); }
};

} // namespace zentimo
