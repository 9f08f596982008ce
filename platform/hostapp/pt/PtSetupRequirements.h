// What a drive setup must offer for the PT motion type, as the host explains it to a user when
// the module does not enable the type.
#pragma once

#include <MC_Setup.h>

#include <string>

// Why the PT type cannot run on `setup`, in the order that the module tests it; empty when
// nothing is missing.
std::string WhyPtIsNotEnabled(const CMC_Setup& setup);
