#include "configure_session.h"

#include <cstdio>
#include <memory>
#include <type_traits>

#include "host_bitmap.h"
#include "input_file.h"
#include "raw_frames.h"
#include "test_card.h"

#ifdef _WIN32
#include <windows.h>
#include <commctrl.h>

#include "preview_window.h"
#endif

const char *const kConfigureNeedsWindows =
    "--configure shows the filter's Windows dialog: run the Windows build under Wine, e.g. "
    "cmake/wine-run.sh build/win64/filterhost/filterhost.exe --plugin "
    "build/win64/filter/Kantora231.vdf --configure [--size WxH IN] [--config ...]";

namespace {

Expected<HostBitmap> FirstRawFrame(const Options &options) {
    Expected<InputFile> input = OpenInput(options.input);
    if (!input)
        return input.failure();
    const std::string name = InputName(options.input);
    RawFrameReader reader(input->get(), name, options.size);
    HostBitmap frame(options.size.width, options.size.height, 0, RowOrder::TopDown);
    Expected<bool> read = reader.Next(frame);
    if (!read)
        return read.failure();
    if (!*read)
        return Fail(name + " holds no frame to preview");
    return frame;
}

}  // namespace

Expected<HostBitmap> LoadPreviewFrame(const Options &options) {
    if (options.input.empty())
        return MakeTestCard();
    return options.configureRaw ? FirstRawFrame(options) : ReadPng(options.input);
}

#ifndef _WIN32

const bool kHostShowsDialogs = false;

Expected<bool> ConfigureWithPreview(FilterInstance &, const FilterDefinition &, const Options &) {
    return Fail(kConfigureNeedsWindows, FailureKind::Usage);
}

#else

const bool kHostShowsDialogs = true;

namespace {

// Where the dialog's template coordinates start: the host's own (hidden) main window.
constexpr int kHostWindowX = 40, kHostWindowY = 40;

struct WindowCloser {
    void operator()(HWND window) const { DestroyWindow(window); }
};
using Window = std::unique_ptr<std::remove_pointer_t<HWND>, WindowCloser>;

}  // namespace

Expected<bool> ConfigureWithPreview(FilterInstance &instance, const FilterDefinition &definition,
                                    const Options &options) {
    if (!instance.HasDialog())
        return Fail(std::string("the filter '") + (definition.name ? definition.name : "") +
                    "' has no configuration dialog");
    Expected<HostBitmap> frame = LoadPreviewFrame(options);
    if (!frame)
        return frame.failure();

    // Filter dialogs use the up-down control without registering it: the host does, once.
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_UPDOWN_CLASS};
    if (!InitCommonControlsEx(&controls))
        return Fail("cannot register the common controls the filter's dialog uses");
    Window parent(CreateWindowExA(0, "STATIC", "filterhost", WS_POPUP, kHostWindowX, kHostWindowY,
                                  0, 0, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr));
    if (!parent)
        return Fail("cannot create the host window");

    HostBitmap source(*frame, {options.pitchPadding});
    HostBitmap destination(frame->Width(), frame->Height(), options.pitchPadding);
    Status started = instance.Start();
    if (!started)
        return started.failure();
    Expected<bool> accepted = Fail("the dialog did not run");
    Status rendered = Ok();
    {
        PreviewWindow preview(instance, source, destination,
                              std::string("Preview: ") + (definition.name ? definition.name : ""));
        accepted = instance.Configure(preview, parent.get());
        rendered = preview.RenderStatus();
    }
    Status ended = instance.End();
    if (!accepted)
        return accepted;
    if (!rendered)
        return rendered.failure();
    if (!ended)
        return ended.failure();
    return accepted;
}

#endif
