#pragma once
// What a drag over the editor window carries: the number of items and their kind. No
// view of this system accepts drops, so the items themselves are never read.

#include "framework/CReferenceCounter.h"
#include "framework/platform/Platform.h"

#include <cstdint>

namespace VSTGUI {

class CDragContainer : public CReferenceCounter {
public:
    explicit CDragContainer(const platform::DropData& data)
        : itemCount(data.itemCount < 0 ? 0 : data.itemCount), itemType(static_cast<int32_t>(data.kind))
    {
    }

    int32_t getCount() const { return itemCount; }
    int32_t getType() const { return itemType; }

private:
    int32_t itemCount;
    int32_t itemType;
};

}  // namespace VSTGUI
