// The build of the add-in this test program loads. Compiled into each
// program that links the test support, with the program's KELVO_ADDIN_PATH.
#include "support/addin_fixture.h"

namespace testing_support {

const char* AddinPath() { return KELVO_ADDIN_PATH; }

}  // namespace testing_support
