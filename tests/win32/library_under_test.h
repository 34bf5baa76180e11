// The library a form test places its controls from: loaded once per test program from the path
// the build gives as NX_OCX_PATH, with OLE started on the thread first.
#pragma once

#include <windows.h>

#include "platform/win32/formhost/form_host.h"

namespace nx::test {

inline formhost::Library& library() {
  static const HRESULT ole = OleInitialize(nullptr);
  static_cast<void>(ole);
  static formhost::Library lib(NX_OCX_PATH);
  return lib;
}

}  // namespace nx::test
