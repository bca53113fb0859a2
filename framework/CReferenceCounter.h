#pragma once

#include <cstdint>

namespace VSTGUI {

// The intrusive reference count shared by views, bitmaps, draw contexts and drag
// containers. The creator owns the first reference; the last release destroys the object.
class CReferenceCounter {
public:
    CReferenceCounter() = default;
    CReferenceCounter(const CReferenceCounter&) = delete;
    CReferenceCounter& operator=(const CReferenceCounter&) = delete;

    virtual ~CReferenceCounter() = default;

    // Destroys the object when the count was 1 before the call.
    virtual void release()
    {
        if (referenceCount-- == 1) delete this;
    }
    virtual void retain() { ++referenceCount; }

    int32_t getReferenceCount() const { return referenceCount; }

private:
    int32_t referenceCount = 1;
};

}  // namespace VSTGUI
