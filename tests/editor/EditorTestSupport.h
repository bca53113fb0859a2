// Shared by the editor's tests: an effect created directly with a host callback that
// records what the plug-in tells the host.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "editor/SDEditor.h"
#include "effect/AKkk.h"
#include "effect/PluginInterface.h"
#include "tools/hosting/RecordingHost.h"

namespace editortest {

using hosting::HostCall;

// The host of every effect the editor's tests make, recording the edits it is told of; it
// lives as long as the test program.
inline hosting::RecordingHost recordingHost{audioMasterBeginEdit, audioMasterAutomate, audioMasterEndEdit};

// The edits the plug-in told the host of (begin, automation, end) since the last take.
inline std::vector<HostCall> takeEdits()
{
    return recordingHost.take({audioMasterBeginEdit, audioMasterAutomate, audioMasterEndEdit});
}

inline std::unique_ptr<AKkk> makeEffect()
{
    return std::make_unique<AKkk>(hosting::RecordingHost::callback, &SDEditor::create);
}

}  // namespace editortest
