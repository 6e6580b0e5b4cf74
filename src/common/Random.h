#pragma once
// Uniform random integers for identifiers (the JOPPD form's unique id). One
// generator for the whole program, seeded from the system; tests that compare
// output byte for byte seed it with a fixed value.
#include <cstdint>

namespace marel {

// A uniform random integer in [low, high], both included.
int64_t randomInteger(int64_t low, int64_t high);
// Makes the following numbers repeatable.
void seedRandom(uint32_t seed);

}  // namespace marel
