// The sampling profile: SIGPROF samples of the call stack into a fixed
// buffer (no allocation in the handler), the program's function symbols read
// from its ELF symbol table, and the shares per routine.
#include "bench/sampling.h"

#include <cxxabi.h>
#include <elf.h>
#include <execinfo.h>
#include <link.h>
#include <signal.h>
#include <time.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <set>

namespace benchsupport {

namespace {

constexpr int kFrames = 48;
constexpr int kSamples = 40000;

struct Sample {
    int n = 0;
    void* frame[kFrames];
};

Sample* buffer = nullptr;  // kSamples of them
std::atomic<int> taken{0};
std::atomic<bool> recording{false};
int interval = 250;
timer_t timer{};
bool have_timer = false;

void on_profile_signal(int) {
    if (!recording.load(std::memory_order_relaxed)) return;
    const int k = taken.load(std::memory_order_relaxed);
    if (k >= kSamples) return;
    buffer[k].n = backtrace(buffer[k].frame, kFrames);
    taken.store(k + 1, std::memory_order_relaxed);
}

// The function symbols of this program: start (relative to its load
// address), size and name.
struct Symbol {
    std::uintptr_t start = 0, size = 0;
    std::string name;
};

std::uintptr_t load_base() {
    std::uintptr_t base = 0;
    dl_iterate_phdr(
        [](dl_phdr_info* info, std::size_t, void* data) {
            *static_cast<std::uintptr_t*>(data) = info->dlpi_addr;
            return 1;  // the first object is the program itself
        },
        &base);
    return base;
}

std::string demangled(const char* name) {
    int status = 0;
    char* d = abi::__cxa_demangle(name, nullptr, nullptr, &status);
    std::string s = status == 0 && d != nullptr ? d : name;
    std::free(d);
    // Without the argument list, and without the anonymous namespace's label.
    const std::size_t paren = s.find('(');
    if (paren != std::string::npos && paren > 0) s.resize(paren);
    for (const char* noise : {"(anonymous namespace)::", "[abi:cxx11]"}) {
        for (std::size_t k; (k = s.find(noise)) != std::string::npos;)
            s.erase(k, std::strlen(noise));
    }
    return s;
}

std::vector<Symbol> program_symbols() {
    std::vector<Symbol> out;
    std::ifstream in("/proc/self/exe", std::ios::binary);
    const std::vector<char> image((std::istreambuf_iterator<char>(in)),
                                  std::istreambuf_iterator<char>());
    if (image.size() < sizeof(Elf64_Ehdr)) return out;
    const auto* eh = reinterpret_cast<const Elf64_Ehdr*>(image.data());
    if (std::memcmp(eh->e_ident, ELFMAG, SELFMAG) != 0 || eh->e_ident[EI_CLASS] != ELFCLASS64)
        return out;
    const auto* sh = reinterpret_cast<const Elf64_Shdr*>(image.data() + eh->e_shoff);
    for (int i = 0; i < eh->e_shnum; ++i) {
        if (sh[i].sh_type != SHT_SYMTAB) continue;
        const auto* sym = reinterpret_cast<const Elf64_Sym*>(image.data() + sh[i].sh_offset);
        const char* names = image.data() + sh[sh[i].sh_link].sh_offset;
        const std::size_t n = sh[i].sh_size / sizeof(Elf64_Sym);
        for (std::size_t k = 0; k < n; ++k) {
            if (ELF64_ST_TYPE(sym[k].st_info) != STT_FUNC || sym[k].st_size == 0) continue;
            out.push_back({sym[k].st_value, sym[k].st_size, demangled(names + sym[k].st_name)});
        }
    }
    std::sort(out.begin(), out.end(),
              [](const Symbol& a, const Symbol& b) { return a.start < b.start; });
    return out;
}

// The index of the symbol holding the address, or -1.
int symbol_of(const std::vector<Symbol>& syms, std::uintptr_t base, void* address) {
    const std::uintptr_t a = reinterpret_cast<std::uintptr_t>(address) - base;
    auto it = std::upper_bound(syms.begin(), syms.end(), a,
                               [](std::uintptr_t v, const Symbol& s) { return v < s.start; });
    if (it == syms.begin()) return -1;
    --it;
    return a < it->start + it->size ? static_cast<int>(it - syms.begin()) : -1;
}

// Routines of the library and the application (not the benchmark's own,
// nor the standard library's).
bool ours(const std::string& name) {
    return (name.rfind("lib::", 0) == 0 || name.rfind("app::", 0) == 0) && name.back() != ':';
}

}  // namespace

SamplingProfile::SamplingProfile(int interval_us) {
    interval = interval_us;
    if (buffer == nullptr) buffer = new Sample[kSamples];
    void* warm[4];
    backtrace(warm, 4);  // the unwinder is loaded now, not in the handler
    struct sigaction sa {};
    sa.sa_handler = on_profile_signal;
    sa.sa_flags = SA_RESTART;
    sigemptyset(&sa.sa_mask);
    sigaction(SIGPROF, &sa, nullptr);
    if (!have_timer) {
        // The process's CPU clock (its timers expire at scheduler ticks:
        // a few hundred samples a second).
        sigevent ev{};
        ev.sigev_notify = SIGEV_SIGNAL;
        ev.sigev_signo = SIGPROF;
        have_timer = timer_create(CLOCK_PROCESS_CPUTIME_ID, &ev, &timer) == 0;
    }
}

SamplingProfile::~SamplingProfile() {
    stop();
    signal(SIGPROF, SIG_IGN);
}

void SamplingProfile::start() {
    taken = 0;
    recording = true;
    itimerspec t{};
    t.it_interval.tv_nsec = 1000L * interval;
    t.it_value.tv_nsec = 1000L * interval;
    if (have_timer) timer_settime(timer, 0, &t, nullptr);
}

void SamplingProfile::stop() {
    itimerspec t{};
    if (have_timer) timer_settime(timer, 0, &t, nullptr);
    recording = false;
}

int SamplingProfile::samples() const { return taken.load(); }

std::vector<Share> SamplingProfile::shares(int top, double least) const {
    static const std::vector<Symbol> syms = program_symbols();
    static const std::uintptr_t base = load_base();
    const int n = taken.load();
    std::map<int, int> incl, self;
    for (int k = 0; k < n; ++k) {
        std::set<int> seen;
        bool innermost = true;
        // (Frame 0 is the signal handler; the profile's own routines are
        // left out.)
        for (int f = 0; f < buffer[k].n; ++f) {
            const int s = symbol_of(syms, base, buffer[k].frame[f]);
            if (s < 0 || !ours(syms[static_cast<std::size_t>(s)].name)) continue;
            if (innermost) ++self[s];
            innermost = false;
            if (seen.insert(s).second) ++incl[s];
        }
    }
    std::vector<Share> out;
    for (const auto& [s, count] : incl) {
        const double share = n > 0 ? static_cast<double>(count) / n : 0.0;
        if (share < least) continue;
        const auto it = self.find(s);
        out.push_back({syms[static_cast<std::size_t>(s)].name, share,
                       it == self.end() || n == 0 ? 0.0 : static_cast<double>(it->second) / n});
    }
    // The routines of the largest inclusive share; among equals (main and
    // what only it calls) the one that calls the other stays first.
    std::stable_sort(out.begin(), out.end(),
                     [](const Share& a, const Share& b) { return a.inclusive > b.inclusive; });
    if (static_cast<int>(out.size()) > top) out.resize(static_cast<std::size_t>(top));
    return out;
}

std::string SamplingProfile::report(int top, double least) const {
    std::string text;
    char line[256];
    std::snprintf(line, sizeof line, "    %5s %5s  routine (%d samples)\n", "incl", "self",
                  samples());
    text += line;
    for (const Share& s : shares(top, least)) {
        std::snprintf(line, sizeof line, "    %4.0f%% %4.0f%%  %s\n", 100.0 * s.inclusive,
                      100.0 * s.self, s.routine.substr(0, 150).c_str());
        text += line;
    }
    return text;
}

}  // namespace benchsupport
