#pragma once
// The simulated engine heap.
#include "host/engine/functions.h"
