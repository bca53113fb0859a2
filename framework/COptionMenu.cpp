#include "framework/COptionMenu.h"

#include "framework/CBitmap.h"
#include "framework/CDrawContext.h"
#include "framework/CFrame.h"

namespace VSTGUI {

COptionMenu::COptionMenu(const Rect& bounds, CControlListener* controlListener, int32_t controlTag, CBitmap* bitmap,
                         CBitmap* clickedBitmap, int32_t displayStyle)
    : CParamDisplay(bounds, bitmap, displayStyle), backgroundWhenClicked(clickedBitmap)
{
    listener = controlListener;
    tag = controlTag;
    if (backgroundWhenClicked) backgroundWhenClicked->retain();
}

COptionMenu::~COptionMenu()
{
    if (backgroundWhenClicked) backgroundWhenClicked->release();
}

void COptionMenu::draw(CDrawContext* context) { drawText(context, getEntry(getCurrent())); }

void COptionMenu::handleMouse(CDrawContext* context, Point where, MouseButtons buttons)
{
    if (!acceptsLeftClick(context, buttons)) return;
    platform::Window* window = parentFrame ? parentFrame->getWindow() : nullptr;
    if (!window || entries.empty()) return;
    Point corner{size.left, size.bottom};
    toFrame(corner);
    beginEdit();
    // The window places the menu in its device pixels.
    const int32_t choice =
        window->popupMenu(parentFrame->frameToWindow(Rect::fromSize(corner, 0, 0)).topLeft(), entries, getCurrent());
    if (choice >= 0) {
        value = static_cast<float>(choice);
        notifyListener(context);
    }
    endEdit();
    (void)where;
}

bool COptionMenu::isKindOf(const char* className) const
{
    return isClassName(className, "COptionMenu") || CParamDisplay::isKindOf(className);
}

bool COptionMenu::addEntry(const char* text, int32_t index)
{
    if (!text) return false;
    if (index < 0 || static_cast<std::size_t>(index) >= entries.size())
        entries.emplace_back(text);
    else
        entries.emplace(entries.begin() + index, text);
    setDirty(true);
    return true;
}

bool COptionMenu::removeEntry(int32_t index)
{
    if (index < 0 || static_cast<std::size_t>(index) >= entries.size()) return false;
    entries.erase(entries.begin() + index);
    setDirty(true);
    return true;
}

void COptionMenu::removeAllEntry()
{
    entries.clear();
    setDirty(true);
}

int32_t COptionMenu::getNbEntries() const { return static_cast<int32_t>(entries.size()); }

const char* COptionMenu::getEntry(int32_t index) const
{
    if (index < 0 || static_cast<std::size_t>(index) >= entries.size()) return nullptr;
    return entries[static_cast<std::size_t>(index)].c_str();
}

int32_t COptionMenu::getCurrent() const
{
    const int32_t index = truncateToInt(value);
    return index >= 0 && index < getNbEntries() ? index : -1;
}

bool COptionMenu::setCurrent(int32_t index)
{
    if (index < 0 || index >= getNbEntries()) return false;
    value = static_cast<float>(index);
    return true;
}

}  // namespace VSTGUI
