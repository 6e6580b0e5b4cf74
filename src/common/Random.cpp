#include "common/Random.h"

#include <random>
#include <utility>

namespace marel {

namespace {
std::mt19937_64& generator() {
    static std::mt19937_64 g{std::random_device{}()};
    return g;
}
}  // namespace

int64_t randomInteger(int64_t low, int64_t high) {
    if (high < low) std::swap(low, high);
    return std::uniform_int_distribution<int64_t>(low, high)(generator());
}

void seedRandom(uint32_t seed) { generator().seed(seed); }

}  // namespace marel
