#include "configure_session.h"

#include <memory>
#include <optional>
#include <string>
#include <type_traits>

#include "host_bitmap.h"
#include "test_card.h"

#ifdef _WIN32
#include <windows.h>
#include <commctrl.h>

#include "preview_window.h"
#endif

namespace filterhost {

const char *const kConfigureNeedsWindows =
    "--configure shows the filter's Windows dialog: run the Windows build under Wine, e.g. "
    "cmake/wine-run.sh build/win64/filterhost/filterhost.exe --plugin "
    "build/win64/filter/Kantora231.vdf --configure [--size WxH IN] [--config ...]";

#ifndef _WIN32

const bool kHostShowsDialogs = false;

Expected<bool> ConfigureWithPreview(FilterInstance &, const FilterDefinition &,
                                    const PreviewSource &) {
    return Fail(kConfigureNeedsWindows, FailureKind::Usage);
}

#else

const bool kHostShowsDialogs = true;

namespace {

// Where the dialog's template coordinates start: the host's own (hidden) main window.
constexpr int kHostWindowX = 40, kHostWindowY = 40;

// The picture the preview shows, in a bitmap of its own: rows bottom-up, as a DIB's.
Expected<HostBitmap> PreviewFrame(const PreviewSource &source) {
    if (source.frames == nullptr)
        return HostBitmap(MakeTestCard(), {source.padding});
    std::optional<HostBitmap> first;
    Status read = source.frames->Each([&](HostBitmap &frame) {
        first.emplace(frame, BitmapLayout{source.padding});
        return false;
    });
    if (!read)
        return read.failure();
    if (!first)
        return Fail(source.frames->Name() + " holds no frame to preview");
    return std::move(*first);
}

struct WindowCloser {
    void operator()(HWND window) const { DestroyWindow(window); }
};
using Window = std::unique_ptr<std::remove_pointer_t<HWND>, WindowCloser>;

}  // namespace

Expected<bool> ConfigureWithPreview(FilterInstance &instance, const FilterDefinition &definition,
                                    const PreviewSource &preview) {
    if (!instance.HasDialog())
        return Fail(std::string("the filter '") + (definition.name ? definition.name : "") +
                    "' has no configuration dialog");
    Expected<HostBitmap> source = PreviewFrame(preview);
    if (!source)
        return source.failure();

    // Filter dialogs use the up-down control without registering it: the host does, once.
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_UPDOWN_CLASS};
    if (!InitCommonControlsEx(&controls))
        return Fail("cannot register the common controls the filter's dialog uses");
    Window parent(CreateWindowExA(0, "STATIC", "filterhost", WS_POPUP, kHostWindowX, kHostWindowY,
                                  0, 0, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr));
    if (!parent)
        return Fail("cannot create the host window");

    HostBitmap destination(source->Width(), source->Height(), preview.padding);
    Status started = instance.Start();
    if (!started)
        return started.failure();
    Expected<bool> accepted = Fail("the dialog did not run");
    Status rendered = Ok();
    {
        PreviewWindow window(instance, *source, destination,
                             std::string("Preview: ") + (definition.name ? definition.name : ""));
        accepted = instance.Configure(window, parent.get());
        rendered = window.RenderStatus();
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

}  // namespace filterhost
