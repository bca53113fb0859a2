// Where the editor reports a user's edit when its plug-in format carries edits to the
// effect itself (an LV2 host writes a control port, which the audio side then applies).
// Without one the editor sets the effect's parameter and the effect tells the host. Such a
// format also has its own way to ask the host for a window size.
#pragma once

#include <cstdint>

class EditListener {
public:
    // A gesture on parameter index starts or ends. [UI thread]
    virtual void beginEdit(int32_t index) = 0;
    virtual void endEdit(int32_t index) = 0;
    // The user set parameter index to the normalised value. [UI thread]
    virtual void edited(int32_t index, float value) = 0;
    // The window needs width x height device pixels (its scale changed): asks the format's
    // host for the room; true when it made it. [UI thread]
    virtual bool resizeWindow(int32_t, int32_t) { return false; }

protected:
    EditListener() = default;
    ~EditListener() = default;
    EditListener(const EditListener&) = default;
    EditListener& operator=(const EditListener&) = default;
};
