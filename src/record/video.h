// Recording one pass as a VP9 video in WebM: a frame at every thirtieth of a second of the
// pass's own time, each the memory screen as the pass has drawn it by that moment.
#pragma once

#include <string>

#include "record.h"

constexpr int kVideoFps = 30;  // frames a second of the pass's own time

// RecordPass for a name ending in .webm, with the same promises: whole or no file, the report on
// stdout before the rename, one line on stderr for a failure, and nothing left by a stop signal.
bool RecordVideo(void (*pass)(), const std::string& path, const RecordPlan& plan);
