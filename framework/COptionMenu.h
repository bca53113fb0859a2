#pragma once
// A value display that shows one of its text entries and, when clicked, offers them all in
// the platform's pop-up menu; the chosen index becomes the value.

#include "framework/CParamDisplay.h"

#include <string>
#include <vector>

namespace VSTGUI {

class COptionMenu : public CParamDisplay {
public:
    COptionMenu(const Rect& size, CControlListener* listener, int32_t tag, CBitmap* background = nullptr,
                CBitmap* backgroundWhenClicked = nullptr, int32_t style = 0);
    ~COptionMenu() override;

    void draw(CDrawContext* context) override;
    void handleMouse(CDrawContext* context, Point where, MouseButtons buttons) override;
    bool isKindOf(const char* className) const override;

    // Inserts text before index; -1 (or an index past the end) appends. Null adds nothing.
    virtual bool addEntry(const char* text, int32_t index = -1);
    virtual bool removeEntry(int32_t index);
    virtual void removeAllEntry();
    virtual int32_t getNbEntries() const;
    // The entry's text, or null for an index out of range.
    virtual const char* getEntry(int32_t index) const;
    // The index the value selects, or -1 when it selects none.
    virtual int32_t getCurrent() const;
    virtual bool setCurrent(int32_t index);

private:
    std::vector<std::string> entries;
    CBitmap* backgroundWhenClicked;
};

}  // namespace VSTGUI
