#include "picture_formats.h"

namespace kantora::gstreamer {

FormatRepair RepairOf(GstVideoFormat format) {
    // The filter's words are 0xXXRRGGBB in the machine's byte order.
    constexpr bool kLittleEndian = G_BYTE_ORDER == G_LITTLE_ENDIAN;
    const GstVideoFormat own = kLittleEndian ? GST_VIDEO_FORMAT_BGRx : GST_VIDEO_FORMAT_xRGB;
    const GstVideoFormat ownWithAlpha =
        kLittleEndian ? GST_VIDEO_FORMAT_BGRA : GST_VIDEO_FORMAT_ARGB;
    if (format == own)
        return {RepairPath::Direct, false};
    if (format == ownWithAlpha)
        return {RepairPath::DirectKeepsAlpha, true};
    return {RepairPath::Strips, GST_VIDEO_FORMAT_INFO_HAS_ALPHA(gst_video_format_get_info(format))};
}

PictureLayout LayoutOf(const GstVideoInfo &info, bool interlaced) {
    const GstVideoFormatInfo *format = info.finfo;
    PictureLayout layout;
    layout.width = GST_VIDEO_INFO_WIDTH(&info);
    layout.height = GST_VIDEO_INFO_HEIGHT(&info);
    if (GST_VIDEO_FORMAT_INFO_N_COMPONENTS(format) >= 3 && GST_VIDEO_FORMAT_INFO_IS_YUV(format)) {
        layout.chromaAcross = 1 << GST_VIDEO_FORMAT_INFO_W_SUB(format, 1);
        layout.chromaDown = 1 << GST_VIDEO_FORMAT_INFO_H_SUB(format, 1);
    }
    // Six pixels share each 16-byte block, which is packed whole.
    if (GST_VIDEO_FORMAT_INFO_FORMAT(format) == GST_VIDEO_FORMAT_v210)
        layout.chromaAcross = 6;
    layout.interlaced = interlaced;
    return layout;
}

}  // namespace kantora::gstreamer
