#pragma once

#include "host/AtomicFile.h"

// Injected write faults (a full disk, a failing fsync or rename) for the life of the object.
class ScopedFaults {
public:
    explicit ScopedFaults(const AtomicFile::Faults& faults) {
        AtomicFile::InjectFaultsForTests(faults);
    }
    ~ScopedFaults() { AtomicFile::InjectFaultsForTests({}); }
    ScopedFaults(const ScopedFaults&) = delete;
    ScopedFaults& operator=(const ScopedFaults&) = delete;
};
