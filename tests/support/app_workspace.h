#pragma once

#include "app/app_state.h"
#include "support/recording_feedback.h"
#include "support/temp_dir.h"

namespace tolvar::test {

// A program state working in a fresh temporary directory, with every call to
// the user recorded.
struct AppWorkspace {
    TempDir tmp;
    RecordingFeedback fb;
    AppState state{WorkDir(tmp.path()), fb};
};

}  // namespace tolvar::test
