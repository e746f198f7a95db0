#include "pixel_formats.h"

#include <string>

extern "C" {
#include <libavutil/pixdesc.h>
#include <libswscale/swscale.h>
}

namespace filterhost {

namespace {

bool SameComponent(const AVComponentDescriptor &a, const AVComponentDescriptor &b) {
    return a.plane == b.plane && a.step == b.step && a.offset == b.offset && a.shift == b.shift &&
           a.depth == b.depth;
}

// The alpha of a planar format lies in a plane of its own after the colour planes.
AVPixelFormat WithoutAlphaPlane(AVPixelFormat format) {
    const AVPixFmtDescriptor *with = av_pix_fmt_desc_get(format);
    const int colours = with->nb_components - 1;
    for (const AVPixFmtDescriptor *d = av_pix_fmt_desc_next(nullptr); d != nullptr;
         d = av_pix_fmt_desc_next(d)) {
        if (d->nb_components != colours || d->flags != (with->flags & ~AV_PIX_FMT_FLAG_ALPHA) ||
            d->log2_chroma_w != with->log2_chroma_w || d->log2_chroma_h != with->log2_chroma_h)
            continue;
        bool same = true;
        for (int c = 0; c < colours && same; ++c)
            same = SameComponent(d->comp[c], with->comp[c]);
        if (same)
            return av_pix_fmt_desc_get_id(d);
    }
    return AV_PIX_FMT_NONE;
}

}  // namespace

AVPixelFormat ColourPlanesOf(AVPixelFormat format) {
    const AVPixFmtDescriptor *d = av_pix_fmt_desc_get(format);
    if (d == nullptr || !(d->flags & AV_PIX_FMT_FLAG_ALPHA))
        return format;
    if (!(d->flags & AV_PIX_FMT_FLAG_PLANAR) || d->comp[d->nb_components - 1].plane == 0)
        return AV_PIX_FMT_NONE;
    return WithoutAlphaPlane(format);
}

Status CheckStripFormat(AVPixelFormat format) {
    const AVPixFmtDescriptor *d = av_pix_fmt_desc_get(format);
    if (d == nullptr)
        return Fail("its video has an unknown pixel format");
    const std::string name = d->name;
    if (d->flags & AV_PIX_FMT_FLAG_HWACCEL)
        return Fail("its video comes as hardware frames (" + name + "), which cannot be repaired");
    if (d->flags & (AV_PIX_FMT_FLAG_PAL | AV_PIX_FMT_FLAG_BITSTREAM))
        return Fail("its pixel format " + name +
                    " (a palette or bit-packed pixels) cannot take "
                    "repaired colours");
    const AVPixelFormat colours = ColourPlanesOf(format);
    if (colours == AV_PIX_FMT_NONE)
        return Fail("its pixel format " + name +
                    " has alpha within each pixel, which a repair "
                    "would lose; convert it to a planar format first");
    if (!sws_isSupportedInput(colours) || !sws_isSupportedOutput(colours))
        return Fail("its pixel format " + name + " cannot be converted to 32-bit RGB and back");
    return Ok();
}

int ChromaRowsOf(AVPixelFormat format) {
    const AVPixFmtDescriptor *d = av_pix_fmt_desc_get(format);
    return d != nullptr ? 1 << d->log2_chroma_h : 1;
}

int ChromaColumnsOf(AVPixelFormat format) {
    const AVPixFmtDescriptor *d = av_pix_fmt_desc_get(format);
    return d != nullptr ? 1 << d->log2_chroma_w : 1;
}

bool IsRgb(AVPixelFormat format) {
    const AVPixFmtDescriptor *d = av_pix_fmt_desc_get(format);
    return d != nullptr && (d->flags & AV_PIX_FMT_FLAG_RGB);
}

void SetYuvMatrix(SwsContext *scaler, int colorspace, int range, bool yuvIsSource) {
    int *inverse, sourceFull, *table, destinationFull, brightness, contrast, saturation;
    if (sws_getColorspaceDetails(scaler, &inverse, &sourceFull, &table, &destinationFull,
                                 &brightness, &contrast, &saturation) < 0)
        return;
    const int *coefficients = sws_getCoefficients(colorspace);
    const int full = range == AVCOL_RANGE_JPEG;
    if (yuvIsSource)
        sws_setColorspaceDetails(scaler, coefficients, full, table, destinationFull, brightness,
                                 contrast, saturation);
    else
        sws_setColorspaceDetails(scaler, inverse, sourceFull, coefficients, full, brightness,
                                 contrast, saturation);
}

}  // namespace filterhost
