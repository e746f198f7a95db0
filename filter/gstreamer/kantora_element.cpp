// kantora: the border filter as a GStreamer element, for capture and transcoding pipelines.
//
// A video filter that works in place on raw video: at each picture edge it paints a black band,
// smears picture lines from further in outward and fades a band towards black, as the filter's
// sixteen values say. Only the strips at the edges that the values reach are converted to the
// filter's 32-bit pixels, repaired by the border engine and converted back, by GStreamer's own
// converter; every sample outside them stays exactly as it came. Frames whose pixels already
// are the filter's words are repaired where they lie, and values that change nothing let the
// buffers pass untouched. The values come one by one, or all at once from settings text read by
// the filter's one script reader, as filterhost reads --config and --script.
//
// Below: its properties, its workers (the element's state; its settings are element_settings'),
// its callbacks, and the plug-in definition last.
#include <gst/gst.h>
#include <gst/video/gstvideofilter.h>
#include <gst/video/video.h>

#include <cstdint>
#include <exception>
#include <string>
#include <vector>

#include "border_settings.h"
#include "config_layout.h"
#include "element_settings.h"
#include "filter_name.h"
#include "frame_repair.h"
#include "picture_formats.h"
#include "reach.h"

GST_DEBUG_CATEGORY_STATIC(kantoraDebug);
#define GST_CAT_DEFAULT kantoraDebug

namespace kantora::gstreamer {

namespace {

// ---------------------------------------------------------------------------------------------
// Properties: the sixteen values, in the order of the script call Config(...), then the texts
// that set them all.

constexpr guint kFirstValueProperty = 1;
constexpr guint kValuePropertyEnd = kFirstValueProperty + kConfigValueCount;
constexpr guint kConfigProperty = kValuePropertyEnd;
constexpr guint kSettingsFileProperty = kConfigProperty + 1;
constexpr guint kInstanceProperty = kSettingsFileProperty + 1;

constexpr char kConfigBlurb[] =
    "All sixteen values as filterhost --config takes them: Config(top smear, black, fade, "
    "stretch, bottom ..., right ..., left ...), with or without VirtualDub's object path, or a "
    "whole settings file's text. Values set after it change it one by one";
constexpr char kSettingsFileBlurb[] =
    "All sixteen values from a settings file saved by VirtualDub or filterhost (.vcf), as "
    "filterhost --script reads it";
constexpr char kInstanceBlurb[] =
    "Which Kantora of a settings file's filter chain counts where it holds more than one, by its "
    "instance number as filterhost --instance takes it (-1: the only one)";

const char *EdgeName(Side side) {
    switch (side) {
    case Top:
        return "top";
    case Bottom:
        return "bottom";
    case Left:
        return "left";
    case Right:
        break;
    }
    return "right";
}

// What a value does, in the dialog's words.
std::string Blurb(const ConfigValue &value) {
    const std::string edge = EdgeName(value.side);
    switch (value.band) {
    case Band::Smear:
        return std::string(value.caption) + ": how far from the " + edge +
               " edge the smeared band reaches";
    case Band::Black:
        return std::string(value.caption) + ": lines of the solid black band at the " + edge +
               " edge";
    case Band::Fade:
        return std::string(value.caption) + ": how far from the " + edge +
               " edge the band fading towards black reaches";
    case Band::Stretch:
        break;
    }
    return std::string(value.caption) + ": how much picture the " + edge +
           " edge's smear draws from";
}

// ---------------------------------------------------------------------------------------------
// Workers.

// One element: its settings, and what the streaming thread keeps from frame to frame.
class Element {
public:
    enum class Outcome { Repaired, NotPlanned, NoMemory };

    ElementSettings &Settings() { return shared_; }

    // The streaming thread's, from here on.
    void Negotiated(const GstVideoInfo &info) {
        info_ = info;
        negotiated_ = true;
        planned_ = false;
        version_ = 0;  // whether the settings change anything depends on the size too
    }

    void Stop() {
        repair_.Clear();
        planned_ = false;
        negotiated_ = false;
    }

    const GstVideoInfo &Info() const { return info_; }

    // Takes the settings as they now stand; true when frames pass as they came with them (or
    // before the caps are known).
    bool LeavesFramesAlone() {
        if (!negotiated_)
            return true;
        if (shared_.TakeChanged(version_, settings_)) {
            planned_ = false;
            changesNothing_ = ReachOf(settings_, info_.width, info_.height).ChangesNothing();
        }
        return changesNothing_;
    }

    // Repairs a frame with the settings taken last, planning first where they, the caps or the
    // kind of frame changed.
    Outcome Repair(GstVideoFrame &frame) {
        const bool interlaced = GST_VIDEO_FRAME_IS_INTERLACED(&frame);
        if (!planned_ || plannedInterlaced_ != interlaced) {
            if (!repair_.Plan(info_, interlaced, settings_))
                return Outcome::NotPlanned;
            planned_ = true;
            plannedInterlaced_ = interlaced;
        }
        return repair_.Repair(frame) ? Outcome::Repaired : Outcome::NoMemory;
    }

private:
    ElementSettings shared_;
    GstVideoInfo info_{};
    bool negotiated_ = false;
    uint64_t version_ = 0;  // of the settings taken; 0: none yet
    BorderSettings settings_{};
    bool changesNothing_ = true;  // with these settings at this size
    FrameRepair repair_;
    bool planned_ = false;            // the repair is planned for these settings and caps...
    bool plannedInterlaced_ = false;  // ...and for frames of this kind
};

}  // namespace

}  // namespace kantora::gstreamer

// ---------------------------------------------------------------------------------------------
// Callbacks.

using kantora::gstreamer::Element;

struct GstKantora {
    GstVideoFilter parent;
    Element *element;
};

struct GstKantoraClass {
    GstVideoFilterClass parent;
};

G_DEFINE_TYPE(GstKantora, gst_kantora, GST_TYPE_VIDEO_FILTER)

namespace {

Element &ElementOf(gpointer object) { return *reinterpret_cast<GstKantora *>(object)->element; }

using kantora::gstreamer::SettingsText;

// Logs what a text left unrun, or its failure, which stops the element when it starts or, when
// it runs, with the next frame.
void Report(GObject *object, const kantora::gstreamer::TextRead &read) {
    if (!read) {
        GST_WARNING_OBJECT(object, "%s", read.failure().message.c_str());
        return;
    }
    for (const std::string &note : *read)
        GST_INFO_OBJECT(object, "%s", note.c_str());
}

void SetProperty(GObject *object, guint id, const GValue *value, GParamSpec *spec) try {
    using namespace kantora::gstreamer;
    ElementSettings &settings = ElementOf(object).Settings();
    if (id >= kFirstValueProperty && id < kValuePropertyEnd) {
        settings.SetValue(id - kFirstValueProperty, g_value_get_int(value));
    } else if (id == kConfigProperty || id == kSettingsFileProperty) {
        const char *text = g_value_get_string(value);
        Report(object,
               settings.SetText(id == kConfigProperty ? SettingsText::Config : SettingsText::File,
                                text != nullptr ? text : ""));
    } else if (id == kInstanceProperty) {
        Report(object, settings.SetInstance(g_value_get_int(value)));
    } else {
        G_OBJECT_WARN_INVALID_PROPERTY_ID(object, id, spec);
    }
} catch (const std::exception &) {
    GST_ELEMENT_ERROR(object, RESOURCE, FAILED, ("out of memory"), (nullptr));
}

void GetProperty(GObject *object, guint id, GValue *value, GParamSpec *spec) {
    using namespace kantora::gstreamer;
    const ElementSettings &settings = ElementOf(object).Settings();
    if (id >= kFirstValueProperty && id < kValuePropertyEnd) {
        g_value_set_int(value, settings.Value(id - kFirstValueProperty));
    } else if (id == kConfigProperty || id == kSettingsFileProperty) {
        const std::string text =
            settings.Text(id == kConfigProperty ? SettingsText::Config : SettingsText::File);
        g_value_set_string(value, text.empty() ? nullptr : text.c_str());
    } else if (id == kInstanceProperty) {
        g_value_set_int(value, settings.Instance());
    } else {
        G_OBJECT_WARN_INVALID_PROPERTY_ID(object, id, spec);
    }
}

// The element says why it cannot go on with the values it was given.
void SettingsFailed(gpointer object, const kantora::gstreamer::ElementSettings &settings) {
    GST_ELEMENT_ERROR(object, RESOURCE, SETTINGS, ("%s", settings.FailureMessage().c_str()),
                      (nullptr));
}

void Finalize(GObject *object) {
    delete reinterpret_cast<GstKantora *>(object)->element;
    G_OBJECT_CLASS(gst_kantora_parent_class)->finalize(object);
}

// A text that could not be read stops the element before its first frame.
gboolean Start(GstBaseTransform *transform) {
    const kantora::gstreamer::ElementSettings &settings = ElementOf(transform).Settings();
    if (!settings.Failed())
        return TRUE;
    SettingsFailed(transform, settings);
    return FALSE;
}

gboolean Stop(GstBaseTransform *transform) {
    ElementOf(transform).Stop();
    return TRUE;
}

gboolean SetInfo(GstVideoFilter *filter, GstCaps *, GstVideoInfo *in, GstCaps *, GstVideoInfo *) {
    ElementOf(filter).Negotiated(*in);
    return TRUE;
}

// Before each buffer: the settings as they now stand, and whether the buffer passes untouched
// (then it is neither made writable nor mapped). A text that failed while the element runs
// stops it at the frame.
void BeforeTransform(GstBaseTransform *transform, GstBuffer *) {
    Element &element = ElementOf(transform);
    gst_base_transform_set_passthrough(transform,
                                       element.LeavesFramesAlone() && !element.Settings().Failed());
}

GstFlowReturn TransformFrameInPlace(GstVideoFilter *filter, GstVideoFrame *frame) {
    Element &element = ElementOf(filter);
    if (element.Settings().Failed()) {
        SettingsFailed(filter, element.Settings());
        return GST_FLOW_ERROR;
    }
    switch (element.Repair(*frame)) {
    case Element::Outcome::Repaired:
        return GST_FLOW_OK;
    case Element::Outcome::NotPlanned: {
        const GstVideoInfo &info = element.Info();
        GST_ELEMENT_ERROR(
            filter, CORE, FAILED,
            ("cannot repair %dx%d %s frames: no memory or no converter for them", info.width,
             info.height, gst_video_format_to_string(GST_VIDEO_INFO_FORMAT(&info))),
            (nullptr));
        return GST_FLOW_ERROR;
    }
    case Element::Outcome::NoMemory:
        break;
    }
    GST_ELEMENT_ERROR(filter, RESOURCE, FAILED, ("out of memory"), (nullptr));
    return GST_FLOW_ERROR;
}

}  // namespace

static void gst_kantora_init(GstKantora *self) { self->element = new Element; }

static void gst_kantora_class_init(GstKantoraClass *klass) {
    using namespace kantora;
    GObjectClass *object = G_OBJECT_CLASS(klass);
    object->set_property = SetProperty;
    object->get_property = GetProperty;
    object->finalize = Finalize;
    for (int k = 0; k < kConfigValueCount; ++k) {
        const ConfigValue &value = kConfigLayout[k];
        const std::string blurb = gstreamer::Blurb(value);
        g_object_class_install_property(
            object, gstreamer::kFirstValueProperty + k,
            g_param_spec_int(value.property, value.caption, blurb.c_str(), value.minimum,
                             value.maximum, 0,
                             GParamFlags(G_PARAM_READWRITE | G_PARAM_STATIC_NAME |
                                         G_PARAM_STATIC_NICK | GST_PARAM_MUTABLE_PLAYING)));
    }
    const GParamFlags flags =
        GParamFlags(G_PARAM_READWRITE | G_PARAM_STATIC_STRINGS | GST_PARAM_MUTABLE_PLAYING);
    g_object_class_install_property(
        object, gstreamer::kConfigProperty,
        g_param_spec_string("config", "Config", gstreamer::kConfigBlurb, nullptr, flags));
    g_object_class_install_property(
        object, gstreamer::kSettingsFileProperty,
        g_param_spec_string("settings-file", "Settings file", gstreamer::kSettingsFileBlurb,
                            nullptr, flags));
    g_object_class_install_property(
        object, gstreamer::kInstanceProperty,
        g_param_spec_int("instance", "Instance", gstreamer::kInstanceBlurb, -1, G_MAXINT, -1,
                         flags));

    GstElementClass *element = GST_ELEMENT_CLASS(klass);
    gst_element_class_set_static_metadata(
        element, kantora::kFilterName, "Filter/Effect/Video",
        "Repairs the borders of video in place: black, smeared and faded bands at each edge, every "
        "sample outside them kept as it came",
        "Tessaly");
    GstCaps *caps = gst_caps_from_string(GST_VIDEO_CAPS_MAKE(KANTORA_GST_FORMATS));
    gst_element_class_add_pad_template(
        element, gst_pad_template_new("sink", GST_PAD_SINK, GST_PAD_ALWAYS, caps));
    gst_element_class_add_pad_template(
        element, gst_pad_template_new("src", GST_PAD_SRC, GST_PAD_ALWAYS, caps));
    gst_caps_unref(caps);

    GstBaseTransformClass *transform = GST_BASE_TRANSFORM_CLASS(klass);
    transform->start = Start;
    transform->stop = Stop;
    transform->before_transform = BeforeTransform;
    transform->passthrough_on_same_caps = FALSE;
    // A buffer that passes untouched is not even mapped.
    transform->transform_ip_on_passthrough = FALSE;

    GstVideoFilterClass *filter = GST_VIDEO_FILTER_CLASS(klass);
    filter->set_info = SetInfo;
    filter->transform_frame_ip = TransformFrameInPlace;
}

// ---------------------------------------------------------------------------------------------
// The plug-in: libgstkantora.so with the one element.

static gboolean PluginInit(GstPlugin *plugin) {
    GST_DEBUG_CATEGORY_INIT(kantoraDebug, "kantora", 0, "border repair");
    return gst_element_register(plugin, "kantora", GST_RANK_NONE, gst_kantora_get_type());
}

// PACKAGE (the source module's name) comes from the build.
GST_PLUGIN_DEFINE(GST_VERSION_MAJOR, GST_VERSION_MINOR, kantora,
                  "Border repair of raw video: the Kantora filter", PluginInit,
                  kantora::kFilterVersion, GST_LICENSE_UNKNOWN, "Kantora", "Unknown package origin")
