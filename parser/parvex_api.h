// The library's one parse state, shared by every caller in the process.
#pragma once

// Empties the table list and the thread link; the loader's process-detach
// notification calls it.
void ReleaseParseState();
