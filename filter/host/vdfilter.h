// VirtualDub's filter plug-in interface, as far as this plug-in uses it.
//
// Every record here crosses the module boundary, so its layout must match the host's to the
// byte; the 32-bit offsets are pinned by the static_asserts at the end. No Windows header is
// needed: window and module handles are declared the way <windows.h> declares them.
#pragma once

#include <cstddef>
#include <cstdint>

#if defined(_WIN32) && !defined(_WIN64)
#define VDX_CDECL __cdecl
#else
#define VDX_CDECL
#endif

#if defined(_WIN32)
#define VDX_EXPORT extern "C" __declspec(dllexport)
#else
#define VDX_EXPORT extern "C" __attribute__((visibility("default")))
#endif

typedef struct HWND__ *HWND;
typedef struct HINSTANCE__ *HINSTANCE;

struct FilterDefinition;
struct FilterActivation;
struct FilterBitmap;
class IScriptInterpreter;

// Host-owned record of a loaded plug-in file; the plug-in reads only its instance handle.
struct FilterModule {
    FilterModule *next;
    FilterModule *prev;
    HINSTANCE hInstModule;
    // host-private fields follow
};

// Table of host services handed to the module entry, exit and every callback.
struct FilterFunctions {
    FilterDefinition *(VDX_CDECL *addFilter)(FilterModule *module, FilterDefinition *def,
                                             int definitionSize);
    void(VDX_CDECL *removeFilter)(FilterDefinition *handle);
    // Services this plug-in never calls: FPU enabled, MMX enabled, init vtables,
    // out-of-memory exception, exception with message, CPU flags, host version info.
    void *unused[7];
};

// The host's bitmap object; the first word is its virtual table, never touched here.
struct FilterBitmap {
    void *hostVtable;
    uint32_t *data;  // first row in memory = the picture's bottom row
    void *palette;
    int32_t depth;
    int32_t w;
    int32_t h;
    ptrdiff_t pitch;   // bytes from one row to the next
    ptrdiff_t modulo;  // pitch - 4 * w
    ptrdiff_t size;
    ptrdiff_t offset;
};

// The host's preview window controller. Only the slot order matters to the host, so the class
// has exactly these ten virtual functions and no virtual destructor.
class IFilterPreview {
public:
    virtual void SetButtonCallback(void(VDX_CDECL *callback)(bool, void *), void *data) = 0;
    virtual void SetSampleCallback(void(VDX_CDECL *callback)(FilterBitmap *, long, long, void *),
                                   void *data) = 0;
    virtual bool isPreviewEnabled() = 0;
    virtual void Toggle(HWND dialog) = 0;
    virtual void Display(HWND dialog, bool show) = 0;
    virtual void RedoFrame() = 0;
    virtual void RedoSystem() = 0;
    virtual void UndoSystem() = 0;
    virtual void InitButton(HWND button) = 0;
    virtual void Close() = 0;
};

// First argument of every callback: one filter instance as the host sees it.
struct FilterActivation {
    const FilterDefinition *filter;
    void *filter_data;  // instance memory of the declared size
    FilterBitmap *dst;
    FilterBitmap *src;
    FilterBitmap *rsvd;
    FilterBitmap *last;
    uint32_t x1, y1, x2, y2;
    void *pfsi;
    IFilterPreview *ifp;
    // newer hosts append further fields
};

// A value of the host's script language.
enum ScriptValueType : int32_t {
    kScriptVoid = 0,
    kScriptInt = 1,
};

struct ScriptValue {
    int32_t type;
    void *object;
    union {
        int i;
        char **s;
        int64_t l;
        double d;
    } u;
};

typedef void(VDX_CDECL *ScriptFunctionPtr)(IScriptInterpreter *interpreter, void *activation,
                                           const ScriptValue *argv, int argc);

struct ScriptFunctionDef {
    ScriptFunctionPtr func;
    const char *name;
    const char *arg_list;  // result type then one letter per argument: "0ii" = void f(int, int)
};

struct ScriptObject {
    void *lookup;
    ScriptFunctionDef *func_list;  // ends with an all-null entry
    void *obj_list;
};

typedef int(VDX_CDECL *FilterInitProc)(FilterActivation *fa, const FilterFunctions *ff);
typedef void(VDX_CDECL *FilterDeinitProc)(FilterActivation *fa, const FilterFunctions *ff);
typedef int(VDX_CDECL *FilterRunProc)(const FilterActivation *fa, const FilterFunctions *ff);
typedef long(VDX_CDECL *FilterParamProc)(FilterActivation *fa, const FilterFunctions *ff);
typedef int(VDX_CDECL *FilterConfigProc)(FilterActivation *fa, const FilterFunctions *ff,
                                         HWND parent);
typedef void(VDX_CDECL *FilterStringProc)(const FilterActivation *fa, const FilterFunctions *ff,
                                          char *buffer);
typedef int(VDX_CDECL *FilterStartProc)(FilterActivation *fa, const FilterFunctions *ff);
typedef int(VDX_CDECL *FilterEndProc)(FilterActivation *fa, const FilterFunctions *ff);
typedef bool(VDX_CDECL *FilterScriptStrProc)(FilterActivation *fa, const FilterFunctions *ff,
                                             char *buffer, int bufferSize);

// What the plug-in hands to the host's add-filter service. Passing 72 as its size (on 32-bit)
// tells newer hosts that none of their later fields follow.
struct FilterDefinition {
    FilterDefinition *next;
    FilterDefinition *prev;
    FilterModule *module;
    const char *name;
    const char *desc;
    const char *maker;
    void *private_data;
    int inst_data_size;
    FilterInitProc initProc;
    FilterDeinitProc deinitProc;
    FilterRunProc runProc;
    FilterParamProc paramProc;
    FilterConfigProc configProc;
    FilterStringProc stringProc;
    FilterStartProc startProc;
    FilterEndProc endProc;
    ScriptObject *script_obj;
    FilterScriptStrProc fssProc;
};

typedef int(VDX_CDECL *FilterModuleInitProc)(FilterModule *module, const FilterFunctions *ff,
                                             int &version, int &compatibleVersion);
typedef void(VDX_CDECL *FilterModuleDeinitProc)(FilterModule *module, const FilterFunctions *ff);

#define VDX_MODULE_INIT_NAME "VirtualdubFilterModuleInit2"
#define VDX_MODULE_DEINIT_NAME "VirtualdubFilterModuleDeinit"

// The host's 32-bit layout.
#if UINTPTR_MAX == 0xFFFFFFFFu
static_assert(sizeof(FilterDefinition) == 72, "definition record is 18 words");
static_assert(offsetof(FilterActivation, ifp) == 44, "preview controller at byte 44");
static_assert(offsetof(FilterBitmap, data) == 4, "bitmap data at byte 4");
static_assert(offsetof(FilterBitmap, w) == 16, "bitmap width at byte 16");
static_assert(offsetof(FilterBitmap, h) == 20, "bitmap height at byte 20");
static_assert(offsetof(FilterBitmap, pitch) == 24, "bitmap pitch at byte 24");
static_assert(offsetof(FilterBitmap, modulo) == 28, "bitmap modulo at byte 28");
static_assert(sizeof(ScriptValue) == 16, "script value stride is 16 bytes");
static_assert(offsetof(ScriptValue, u) == 8, "script integer at byte 8");
static_assert(offsetof(FilterModule, hInstModule) == 8, "instance handle is the third word");
static_assert(sizeof(ScriptFunctionDef) == 12 && sizeof(ScriptObject) == 12, "three words each");
#endif
static_assert(sizeof(bool) == 1, "bool is one byte");
static_assert(sizeof(FilterDefinition) == 18 * sizeof(void *), "definition record is 18 words");
