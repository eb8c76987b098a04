// The browser's SDL keeps the key names that classic SDL has in this header
// in its SDL.h (with its own numbering).
#pragma once
#include <SDL.h>
