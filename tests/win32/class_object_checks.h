// Checks every class of a control library gets under Wine from its class table, through the
// real COM object: a new control answers the table's values, every persisted property survives a
// property-bag and a stream round trip with a value other than its default, 1000 controls
// placed on a form and taken off again leave no window-system object, timer, hook or COM object
// behind, and a host that drops the control inside one of its events does not bring it down.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include "core/control/class_table.h"
#include "platform/win32/formhost/form_host.h"

namespace nx::test {

struct ClassUnderTest {
  const ClassInfo* info;
  CLSID clsid;
};

void expectNewControlMatchesTable(const formhost::Library& lib, const ClassUnderTest& cls);
void expectPersistedPropertiesRoundTrip(const formhost::Library& lib, const ClassUnderTest& cls);
// `watched` must have been given to watchLibrary().
void expectNoLeaksOverCycles(const formhost::Library& lib, const ClassUnderTest& cls, int cycles);
void expectHostMayDropTheControlInAnEvent(const formhost::Library& lib, const ClassUnderTest& cls);

// The suite every class of every library built here runs: one case per class, named by the
// path of its library (one of the NX_*_PATH of the test program).
struct LibraryCase {
  const char* path;
  ClassUnderTest cls;
};
class ClassObject : public ::testing::TestWithParam<LibraryCase> {};
// The library of that path, loaded once and watched by the handle census.
formhost::Library& libraryAt(const char* path);

}  // namespace nx::test
