#pragma once

#include "attributes/KeyDictionary.h"

// Key names that the attributes and the loader both read on every model: one cached code
// each, looked up once per installed dictionary.
inline constinit CachedKeyName kIdKey("id");
inline constinit CachedKeyName kValueKey("value");
inline constinit CachedKeyName kVariableValueKey("variableValue");
inline constinit CachedKeyName kConnectedModelIdKey("connectedModelId");
inline constinit CachedKeyName kAttributeNameKey("attributeName");
