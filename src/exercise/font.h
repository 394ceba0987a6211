// The size cycle of the typing box: 18, 20 … 30, then 12, 14 … again.
#pragma once

namespace letro {

inline int nextFontSize(int size)
{
    const int next = size + 2;
    return next >= 32 ? 12 : next;
}

} // namespace letro
