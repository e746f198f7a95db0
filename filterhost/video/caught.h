// The video module's side of every call from the host: nothing thrown inside the module may
// reach the host, and running out of memory is a failure like any other.
#pragma once

#include <new>

#include "host_results.h"

namespace filterhost {

template <class Work>
auto Caught(Work work) -> decltype(work()) {
    try {
        return work();
    } catch (const std::bad_alloc &) {
        return Fail("out of memory");
    }
}

}  // namespace filterhost
