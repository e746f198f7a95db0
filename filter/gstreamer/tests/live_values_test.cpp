// Values changed while the pipeline plays, which gst-launch-1.0 cannot do: they apply from the
// next frame, and each frame is repaired with the values as they stood when it came, whichever
// thread changes them meanwhile; settings text that cannot be read stops the element at the
// next frame. The element comes from GST_PLUGIN_PATH, as the tests set it.
#include <gst/gst.h>
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

namespace kantora::gstreamer {
namespace {

constexpr int kWidth = 64, kHeight = 48;

// Rows of black luma from the top of an I420 frame of white, in its middle column: the top
// edge's black band.
int BlackRowsAtTop(GstBuffer *buffer) {
    GstMapInfo map;
    if (!gst_buffer_map(buffer, &map, GST_MAP_READ))
        return -1;
    int rows = 0;
    while (rows < kHeight && map.data[rows * kWidth + kWidth / 2] < 32)
        ++rows;
    gst_buffer_unmap(buffer, &map);
    return rows;
}

// White frames through identity, the element and a sink that notes each frame's black band at
// the top. One property may be set on the streaming thread just before a given frame reaches
// the element.
class Pipeline {
public:
    explicit Pipeline(int frames) {
        const std::string description =
            "videotestsrc pattern=white num-buffers=" + std::to_string(frames) +
            " ! video/x-raw,format=I420,width=" + std::to_string(kWidth) +
            ",height=" + std::to_string(kHeight) +
            " ! identity name=gate signal-handoffs=true ! kantora name=kantora"
            " ! fakesink name=sink signal-handoffs=true";
        pipeline_ = gst_parse_launch(description.c_str(), nullptr);
        if (pipeline_ == nullptr)
            return;
        kantora_ = gst_bin_get_by_name(GST_BIN(pipeline_), "kantora");
        Connect("gate", G_CALLBACK(+[](GstElement *, GstBuffer *, Pipeline *self) {
                    if (++self->frames_ == self->setAt_)
                        g_object_set_property(G_OBJECT(self->kantora_), self->property_.c_str(),
                                              &self->value_);
                }));
        Connect("sink", G_CALLBACK(+[](GstElement *, GstBuffer *buffer, GstPad *, Pipeline *self) {
                    self->bands.push_back(BlackRowsAtTop(buffer));
                }));
    }
    Pipeline(const Pipeline &) = delete;
    Pipeline &operator=(const Pipeline &) = delete;
    ~Pipeline() {
        if (G_IS_VALUE(&value_))
            g_value_unset(&value_);
        if (pipeline_ == nullptr)
            return;
        gst_element_set_state(pipeline_, GST_STATE_NULL);
        if (kantora_ != nullptr)
            gst_object_unref(kantora_);
        gst_object_unref(pipeline_);
    }

    GstElement *Kantora() const { return kantora_; }

    // `property` takes `value` (which the pipeline keeps) before frame `frame` (from 1).
    void SetBefore(int frame, const char *property, const GValue &value) {
        setAt_ = frame;
        property_ = property;
        g_value_init(&value_, G_VALUE_TYPE(&value));
        g_value_copy(&value, &value_);
    }

    // Plays to the end; true when no error came.
    bool Play() {
        gst_element_set_state(pipeline_, GST_STATE_PLAYING);
        GstBus *bus = gst_element_get_bus(pipeline_);
        GstMessage *message = gst_bus_timed_pop_filtered(
            bus, GST_CLOCK_TIME_NONE, GstMessageType(GST_MESSAGE_EOS | GST_MESSAGE_ERROR));
        const bool ended = GST_MESSAGE_TYPE(message) == GST_MESSAGE_EOS;
        gst_message_unref(message);
        gst_object_unref(bus);
        return ended;
    }

    std::vector<int> bands;  // the black rows at the top of each frame, in order

private:
    void Connect(const char *name, GCallback handoff) {
        GstElement *element = gst_bin_get_by_name(GST_BIN(pipeline_), name);
        g_signal_connect(element, "handoff", handoff, this);
        gst_object_unref(element);
    }

    GstElement *pipeline_ = nullptr;
    GstElement *kantora_ = nullptr;
    int frames_ = 0, setAt_ = 0;
    std::string property_;
    GValue value_ = G_VALUE_INIT;
};

class LiveValues : public testing::Test {
protected:
    static void SetUpTestSuite() { gst_init(nullptr, nullptr); }
};

TEST_F(LiveValues, ApplyFromTheNextFrame) {
    Pipeline pipeline(8);
    ASSERT_NE(pipeline.Kantora(), nullptr);
    GValue black = G_VALUE_INIT;
    g_value_set_int(g_value_init(&black, G_TYPE_INT), 5);
    pipeline.SetBefore(5, "top-black", black);
    ASSERT_TRUE(pipeline.Play());
    EXPECT_EQ(pipeline.bands, (std::vector<int>{0, 0, 0, 0, 5, 5, 5, 5}));
}

TEST_F(LiveValues, TextThatCannotBeReadStopsTheNextFrame) {
    Pipeline pipeline(8);
    ASSERT_NE(pipeline.Kantora(), nullptr);
    GValue config = G_VALUE_INIT;
    g_value_set_static_string(g_value_init(&config, G_TYPE_STRING), "Config(5)");
    pipeline.SetBefore(5, "config", config);
    EXPECT_FALSE(pipeline.Play());
    EXPECT_EQ(pipeline.bands, (std::vector<int>{0, 0, 0, 0}));
}

TEST_F(LiveValues, EachFrameTakesTheValuesAsTheyStood) {
    constexpr int kFrames = 400;
    Pipeline pipeline(kFrames);
    ASSERT_NE(pipeline.Kantora(), nullptr);
    g_object_set(pipeline.Kantora(), "top-black", 2, nullptr);
    std::atomic<bool> playing{true};
    std::thread changer([&] {
        for (int k = 0; playing; ++k) {
            g_object_set(pipeline.Kantora(), "top-black", k % 2 == 0 ? 6 : 2, "left-fade", k % 7,
                         nullptr);
            int value = 0;
            g_object_get(pipeline.Kantora(), "top-black", &value, nullptr);
            EXPECT_TRUE(value == 6 || value == 2) << value;
        }
    });
    const bool ended = pipeline.Play();
    playing = false;
    changer.join();
    ASSERT_TRUE(ended);
    ASSERT_EQ(pipeline.bands.size(), size_t{kFrames});
    for (int band : pipeline.bands)
        ASSERT_TRUE(band == 2 || band == 6) << band;
}

}  // namespace
}  // namespace kantora::gstreamer
