#include "tests/hosted_dialog.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "identity/target_identity.h"
#include "res/resource.h"

void RunWithRobot(ModalDialog& dialog, const std::function<void(robot::DialogRobot&)>& drive) {
  std::atomic<HWND> shown{nullptr};
  std::thread user([&] {
    std::optional<robot::DialogRobot> robot =
        robot::DialogRobot::WaitForDialog(::GetCurrentProcessId(), APP_TITLE, IDC_PRINTER_LIST, 10000);
    if (robot) {
      shown = robot->Window();
      drive(*robot);
    } else {
      ADD_FAILURE() << "the dialog did not appear";
    }
    // Close whatever is still open; the dialog may already have ended itself.
    (void)robot::WaitUntil(
        [&] {
          HWND window = robot ? robot->Window() : dialog.Handle();
          return window == nullptr || !::IsWindow(window) ||
                 ::PostMessageA(window, WM_COMMAND, IDCANCEL, 0) != FALSE;
        },
        5000);
  });
  (void)dialog.DoModal();
  user.join();
}
