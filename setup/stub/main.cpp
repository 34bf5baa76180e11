// nxinstall_stub.exe: the setup program image that nxpack appends the payload to.
#include <windows.h>

#include <exception>

#include "driver.h"
#include "exit_codes.h"
#include "ui.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  try {
    return nx::setup::stub::runStub(instance, ::GetCommandLineA());
  } catch (const std::exception& e) {
    nx::setup::stub::writeStdErr(std::string("nxinstall: internal error: ") + e.what());
  } catch (...) {
    nx::setup::stub::writeStdErr("nxinstall: internal error");
  }
  return nx::setup::stub::kExitInternal;
}
