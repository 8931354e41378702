// The command line's stop request: the process-wide flag through which
// Ctrl+C ends a running build after its current page. Safe to set from a
// signal handler or a console control handler thread.
#pragma once

void RequestStop();
void ClearStopRequest();
bool IsStopRequested();
