// The entry of the renderer's module (kvr2-diagrams.so): the program loads
// it when batch mode writes its first diagram image.
#include "app/core/program/modules.h"
#include "app/diagrams/images.h"

#include <malloc.h>

#include <type_traits>

// Batch mode's process ends after its file: the heap keeps what the
// drawings give back (cairo's and pango's buffers of each stroke and text,
// the bytes of each file) for the next, instead of handing it back to the
// system and having fresh pages mapped and zeroed one fault at a time
// (steam_rankine.kvr: 2010 -> 1850 page faults).
constexpr int kHeapMapsAbove = 32 << 20;    // bytes; the largest glibc takes
constexpr int kHeapKeepsBelow = 256 << 20;  // bytes free at the top before it shrinks

extern "C" __attribute__((visibility("default"))) void kvr2_install_image_hooks() {
    mallopt(M_MMAP_THRESHOLD, kHeapMapsAbove);
    mallopt(M_TRIM_THRESHOLD, kHeapKeepsBelow);
    app::diagrams::install_image_hooks();
}

static_assert(std::is_same_v<decltype(&kvr2_install_image_hooks), app::DiagramsEntry>);
