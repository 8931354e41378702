// The stop request: the one process-wide flag through which a Stop button or
// Ctrl+C ends a running build after its current page. Safe to set from a
// signal handler or a console control handler thread.
#pragma once

void RequestStop();
void ClearStopRequest();
bool IsStopRequested();
