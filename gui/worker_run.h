#pragma once
// Runs a core operation on a worker thread while the user-interface thread
// goes on serving its events: repaints, the Stop button, and the seam's
// messages and questions that the worker hands over. Returns when the
// operation has returned; an exception it throws is thrown here.
//
// The caller disables the commands that could start another run, resets
// the seam's cancel token, and enables them again afterwards.
#include <functional>

namespace klemora::gui {

void runOnWorker(const std::function<void()>& work);

}  // namespace klemora::gui
