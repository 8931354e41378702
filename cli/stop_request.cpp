#include "cli/stop_request.h"

#include <atomic>

namespace {

std::atomic<bool> stopRequest{false};
static_assert(std::atomic<bool>::is_always_lock_free, "set from signal handlers");

} // namespace

void RequestStop() {
    stopRequest.store(true);
}
void ClearStopRequest() {
    stopRequest.store(false);
}
bool IsStopRequested() {
    return stopRequest.load();
}
