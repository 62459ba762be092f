// Benchmarks of the portable code on the in-memory backend.

#include "platform/fake/fake_platform.h"
#include "scan_bench.h"

int main() {
    pictavo::platform::fake::FakePlatform fake;
    auto platform = fake.platform();
    pictavo::bench::readKeptIndex(platform, "C:", 100000, 500, "fake backend, kept index");
    return 0;
}
