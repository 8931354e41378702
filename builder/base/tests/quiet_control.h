// A build control for tests that only want the base: no progress, no stop.
#pragma once

#include "builder/base/build_run.h"

class QuietControl : public BuildControl {
  public:
    void SetProgressRange(int) override {}
    void SetProgress(int) override {}
    void ClearStopRequest() override {}
    bool StopRequested() override { return false; }
    void PumpOneMessage() override {}
};
