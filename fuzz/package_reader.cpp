// Any bytes as a package or an each-file item: the reader must name a read
// error or describe entries that lie inside the input, and never read past it.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "package/format.h"
#include "package/reader.h"

namespace {

void check(const package::Outline& outline, std::size_t size) {
    for (const package::SealedEntry& e : outline.entries) {
        if (e.body_offset > size || size - e.body_offset < e.ct_length) std::abort();
        if (!e.is_message) (void)package::leaf_name(e.stored_name);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::span<const std::uint8_t> bytes(data, size);
    package::MemorySource source(bytes);
    (void)package::detect_kind(source);
    check(package::read_package(source), size);
    check(package::read_each_file(source), size);
    return 0;
}
