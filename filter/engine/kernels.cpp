#include "kernels.h"

namespace kantora {

namespace {

void FadeRowPlain(uint32_t *to, const uint32_t *from, int32_t width, uint32_t m) {
    FadePixels(to, from, 0, width, m);
}

}  // namespace

unsigned ProcessorFeatures() {
#if KANTORA_X86_KERNELS
    return X86ProcessorFeatures();
#else
    return 0;
#endif
}

void InitBorderKernels(BorderKernels *kernels, unsigned features) {
    kernels->fadeRow = FadeRowPlain;
    kernels->sideGroupsOnBlock = nullptr;
    kernels->sideGroupsOnRow = nullptr;
#if KANTORA_X86_KERNELS
    InitBorderKernelsX86(kernels, features);
#else
    (void)features;
#endif
}

const BorderKernels &BorderKernelsOfThisProcessor() {
    static const BorderKernels kernels = [] {
        BorderKernels table;
        InitBorderKernels(&table, ProcessorFeatures());
        return table;
    }();
    return kernels;
}

}  // namespace kantora
