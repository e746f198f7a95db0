// Values changed while the pipeline plays, which gst-launch-1.0 cannot do: they apply from the
// next frame, and each frame is repaired with the values as they stood when it came, whichever
// thread changes them meanwhile; settings text that cannot be read stops the element at the
// next frame. The element comes from GST_PLUGIN_PATH, as the tests set it.
#include <gst/gst.h>
#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

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

// White frames through `gate` (identity), the element `kantora` and a sink that notes each
// frame's black band at the top.
class Pipeline {
public:
    explicit Pipeline(int frames) {
        const std::string description =
            "videotestsrc pattern=white num-buffers=" + std::to_string(frames) +
            " ! video/x-raw,format=I420,width=" + std::to_string(kWidth) +
            ",height=" + std::to_string(kHeight) +
            " ! identity name=gate signal-handoffs=true ! kantora name=kantora"
            " ! fakesink name=sink signal-handoffs=true";
        GError *error = nullptr;
        pipeline_ = gst_parse_launch(description.c_str(), &error);
        if (error != nullptr) {
            ADD_FAILURE() << error->message;
            g_error_free(error);
            return;
        }
        kantora_ = gst_bin_get_by_name(GST_BIN(pipeline_), "kantora");
        gate_ = gst_bin_get_by_name(GST_BIN(pipeline_), "gate");
        GstElement *sink = gst_bin_get_by_name(GST_BIN(pipeline_), "sink");
        g_signal_connect(sink, "handoff",
                         G_CALLBACK(+[](GstElement *, GstBuffer *buffer, GstPad *, gpointer self) {
                             static_cast<Pipeline *>(self)->bands.push_back(BlackRowsAtTop(buffer));
                         }),
                         this);
        gst_object_unref(sink);
    }
    Pipeline(const Pipeline &) = delete;
    Pipeline &operator=(const Pipeline &) = delete;
    ~Pipeline() {
        if (kantora_ == nullptr)
            return;
        gst_element_set_state(pipeline_, GST_STATE_NULL);
        gst_object_unref(gate_);
        gst_object_unref(kantora_);
        gst_object_unref(pipeline_);
    }

    GstElement *Kantora() const { return kantora_; }
    GstElement *Gate() const { return gate_; }

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
    GstElement *pipeline_ = nullptr;
    GstElement *kantora_ = nullptr;
    GstElement *gate_ = nullptr;
};

class LiveValues : public testing::Test {
protected:
    static void SetUpTestSuite() { gst_init(nullptr, nullptr); }
};

// Sets `property` to `value` on the streaming thread just before the fifth frame reaches the
// element.
struct AtTheFifthFrame {
    GstElement *kantora;
    const char *property;
    GValue value;
    int frames = 0;

    static void Count(GstElement *, GstBuffer *, gpointer data) {
        AtTheFifthFrame &at = *static_cast<AtTheFifthFrame *>(data);
        if (++at.frames == 5)
            g_object_set_property(G_OBJECT(at.kantora), at.property, &at.value);
    }
};

TEST_F(LiveValues, ApplyFromTheNextFrame) {
    Pipeline pipeline(8);
    ASSERT_NE(pipeline.Kantora(), nullptr);
    AtTheFifthFrame at{pipeline.Kantora(), "top-black", G_VALUE_INIT};
    g_value_set_int(g_value_init(&at.value, G_TYPE_INT), 5);
    g_signal_connect(pipeline.Gate(), "handoff", G_CALLBACK(AtTheFifthFrame::Count), &at);
    ASSERT_TRUE(pipeline.Play());
    EXPECT_EQ(pipeline.bands, (std::vector<int>{0, 0, 0, 0, 5, 5, 5, 5}));
}

TEST_F(LiveValues, TextThatCannotBeReadStopsTheNextFrame) {
    Pipeline pipeline(8);
    ASSERT_NE(pipeline.Kantora(), nullptr);
    AtTheFifthFrame at{pipeline.Kantora(), "config", G_VALUE_INIT};
    g_value_set_static_string(g_value_init(&at.value, G_TYPE_STRING), "Config(5)");
    g_signal_connect(pipeline.Gate(), "handoff", G_CALLBACK(AtTheFifthFrame::Count), &at);
    EXPECT_FALSE(pipeline.Play());
    EXPECT_EQ(pipeline.bands, (std::vector<int>{0, 0, 0, 0}));
    g_value_unset(&at.value);
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
