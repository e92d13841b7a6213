#pragma once

// The engine layer's umbrella header.
#include "base/CCObject.h"
#include "base/CCAutoreleasePool.h"
