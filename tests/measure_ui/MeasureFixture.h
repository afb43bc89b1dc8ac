#pragma once
// The measuring tests' fixture lies with the evaluation's in the shared support.
#include "support/MeasuringFixture.h"
