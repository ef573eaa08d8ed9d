#include "corvane/ble/blebackend.h"

// Out-of-line destructors anchor the vtables in the library.
BleDiscoveryAgent::~BleDiscoveryAgent() = default;
BleGattService::~BleGattService() = default;
BleCentral::~BleCentral() = default;
BleBackend::~BleBackend() = default;
