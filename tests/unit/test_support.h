// Shared set-up of the core unit tests: a fresh fake platform and registry
// for every test, and re-running the construction of the setting objects as
// a new start of the program would.
#pragma once

#include <gtest/gtest.h>

#include "fake_platform.h"
#include "memory_registry.h"

// Destroys and re-constructs every catalogue setting in catalogue order,
// loading from (and writing back to) the fake registry as a start does.
void ReconstructCatalogue();

class CoreTest : public ::testing::Test {
protected:
    void SetUp() override { fake::ResetAll(); }
    void TearDown() override { fake::ResetAll(); }
};

// Runs a statement that must end the process; returns the exit code, or
// -999 when it returned normally.
template <typename F>
int ExitCodeOf(F&& body) {
    try {
        body();
    } catch (const fake::ProgramExit& exit) {
        return exit.code;
    }
    return -999;
}
