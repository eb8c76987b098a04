#include "tests/harness/harness.h"
