// Calculations per second of the income-line routines.
#include <benchmark/benchmark.h>
