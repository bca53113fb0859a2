#pragma once
// Where a drawing may have changed pixels, row by row. Curves change a few pixels close
// together on each row they cross; a rectangle around them holds many times that. A back
// end that compares what it shows with the surface looks only inside the rows' spans.

#include "framework/GraphicsTypes.h"

#include <algorithm>
#include <cstdint>
#include <span>

namespace VSTGUI {

// Columns [left, right) of one row; empty when right <= left.
struct ColumnSpan {
    int32_t left = 0;
    int32_t right = 0;

    constexpr bool isEmpty() const { return right <= left; }
    // The smallest span that holds both; an empty one adds nothing.
    constexpr ColumnSpan united(ColumnSpan other) const
    {
        if (isEmpty()) return other;
        if (other.isEmpty()) return *this;
        return {std::min(left, other.left), std::max(right, other.right)};
    }
    friend constexpr bool operator==(ColumnSpan, ColumnSpan) = default;
};

// Row top + i changes only inside spans[i]; rows outside [top, top + spans.size()) not at all.
struct ChangedRows {
    int32_t top = 0;
    std::span<const ColumnSpan> spans;

    // The rectangle that holds every span.
    constexpr Rect bounds() const
    {
        Rect area;
        for (std::size_t i = 0; i < spans.size(); ++i) {
            const int32_t y = top + static_cast<int32_t>(i);
            area = area.united({spans[i].left, y, spans[i].right, y + 1});
        }
        return area;
    }
};

}  // namespace VSTGUI
