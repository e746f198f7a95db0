// Which pixel formats a repair can keep, and how their strips reach the plug-in's pixels.
#pragma once

#include "host_results.h"

extern "C" {
#include <libavutil/pixfmt.h>
}

struct SwsContext;

namespace filterhost {

// Whether strips of `format` can go to 32-bit RGB and back, and if not, why (one line). Planar
// formats with alpha are converted through their colour planes alone, so their alpha stays as
// it was; packed pixels with alpha, palettes, bit-packed and hardware frames are refused.
Status CheckStripFormat(AVPixelFormat format);

// The format whose planes are `format`'s colour planes: `format` itself, or for planar formats
// with alpha the same format without the alpha plane.
AVPixelFormat ColourPlanesOf(AVPixelFormat format);

// Rows of the picture that share one chroma sample (1 without vertical subsampling).
int ChromaRowsOf(AVPixelFormat format);
// Columns that share one chroma sample.
int ChromaColumnsOf(AVPixelFormat format);
// True for RGB formats, whose samples carry no YUV colour matrix.
bool IsRgb(AVPixelFormat format);

// Sets the YUV side of a converter to the colour matrix `colorspace` (AVColorSpace) at `range`
// (AVColorRange): its source when `yuvIsSource`, else its destination. Only for a YUV side:
// an RGB one takes no matrix.
void SetYuvMatrix(SwsContext *scaler, int colorspace, int range, bool yuvIsSource);

}  // namespace filterhost
