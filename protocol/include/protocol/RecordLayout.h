#pragma once

// Compile-time checks that pin a record to its wire layout: the size, the
// offset of every field, and alignment 1 so that no padding can appear and
// the record may be read in place at any offset of a frame.

#include <cstddef>
#include <type_traits>

#define TOVRIK_WIRE_FIELD(type, field, offset) \
    static_assert(offsetof(type, field) == (offset), #type "." #field " offset")

#define TOVRIK_WIRE_RECORD(type, size)                                                \
    static_assert(sizeof(type) == (size), #type " size");                             \
    static_assert(alignof(type) == 1, #type " must not be aligned");                  \
    static_assert(std::is_standard_layout_v<type> && std::is_trivially_copyable_v<type>, \
                  #type " must be plain bytes")
