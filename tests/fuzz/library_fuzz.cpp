// Fuzz target of the property library: the flashes, saturation and property
// routines of a dozen pure fluids with random, extreme and non-finite
// inputs. Every call must end without a crash; its outputs are numbers
// unless it reports an error with a message, and a state it reports as
// found is stable (dP/dD > 0 and cv > 0 in one phase) and has the given
// properties.
#include "tests/support/library_calls.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// Reads the next byte, 0 past the end.
struct Bytes {
    const std::uint8_t* data;
    std::size_t size;
    std::size_t at = 0;
    std::uint8_t next() { return at < size ? data[at++] : 0; }
    std::uint64_t next64() {
        std::uint64_t v = 0;
        for (int i = 0; i < 8; ++i) v = (v << 8) | next();
        return v;
    }
};

// One input: a physical value, an extreme one, or any bit pattern.
double input(Bytes& in, libcheck::Kind kind, const libcheck::FluidScale& f) {
    const std::uint8_t mode = in.next();
    const std::uint64_t bits = in.next64();
    switch (mode % 4) {
        case 0:
        case 1: return libcheck::physical(kind, static_cast<double>(bits >> 11) * 0x1.0p-53, f);
        case 2: return libcheck::kExtremes[bits % libcheck::kExtremeCount];
        default: {
            double v = 0;
            std::memcpy(&v, &bits, sizeof v);
            return v;
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Bytes in{data, size};
    const int fluid = in.next() % libcheck::kFluidCount;
    const auto routine = static_cast<libcheck::Routine>(in.next() % libcheck::R_COUNT);
    const int k = in.next();
    libcheck::FluidScale f;
    if (!libcheck::use_fluid(fluid, f)) {
        std::fprintf(stderr, "fluid %s does not set up\n", libcheck::kFluids[fluid]);
        std::abort();
    }
    const double a = input(in, libcheck::kInputs[routine][0], f);
    const double b = input(in, libcheck::kInputs[routine][1], f);
    const std::string failure = libcheck::check(routine, a, b, k, f, true);
    if (!failure.empty()) {
        std::fprintf(stderr, "%s %s (%.17g, %.17g, k %d): %s\n", libcheck::kRoutineNames[routine],
                     libcheck::kFluids[fluid], a, b, k, failure.c_str());
        std::abort();
    }
    return 0;
}
