#pragma once

#include <cstdlib>
#include <memory>

// Owns what xcb hands back (replies, errors, events), which the caller must free().
struct XcbFree {
    void operator()(void* pointer) const { std::free(pointer); }
};

template <typename T>
using XcbReply = std::unique_ptr<T, XcbFree>;
