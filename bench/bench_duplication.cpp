// Duplicating a payment with its income lines.
#include <benchmark/benchmark.h>
