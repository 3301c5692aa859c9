// Small test helpers: a scratch folder and scoped environment variables.
#pragma once

#include "support/scratch.h"

namespace meterdesk_test {

using test_support::ScopedEnv;
using ScratchFolder = test_support::ScratchFolder;

} // namespace meterdesk_test
