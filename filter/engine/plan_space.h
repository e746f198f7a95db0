// Stack memory that a frame's plans take their arrays from. The host gives the filter no memory
// but its settings, so every frame's bands are planned anew, once, before a pixel is touched,
// into stack memory sized to the lines they hold.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

namespace kantora {

// Front to back, nothing freed.
class PlanSpace {
public:
    PlanSpace(unsigned char *bytes, size_t size) : next_(bytes), left_(size) {}

    // Bytes that Take<T>(count) uses up at most.
    template <class T>
    static constexpr size_t Needed(int32_t count) {
        return sizeof(T) * size_t(count) + alignof(T) - 1;
    }

    // Room for `count` objects of T, or null when too little is left: the plan is then not
    // made, and the frame takes the sweeps that need no plan.
    template <class T>
    T *Take(int32_t count) {
        void *at = next_;
        const size_t bytes = sizeof(T) * size_t(count);
        if (std::align(alignof(T), bytes, at, left_) == nullptr)
            return nullptr;
        next_ = static_cast<unsigned char *>(at) + bytes;
        left_ -= bytes;
        T *objects = static_cast<T *>(at);
        std::uninitialized_default_construct_n(objects, count);
        return objects;
    }

private:
    void *next_;
    size_t left_;
};

}  // namespace kantora
