// A stand-in for the banner's player control, for the end-to-end run only:
// an in-process COM server that test-windows-gui.sh registers under the
// player's ProgID in its own Wine prefix. It does what a real control does
// with Vellora's site and no more: it activates in place through the site
// (asking it, telling it, taking the parent and rectangle from it), shows a
// child window there, and takes the movie property (dispatch id 102) as that
// window's text, where the driver reads it.
//
// Each call is appended to fake_player.log beside the DLL, so the script can
// see that the site let go of the control (the last line "freed") before
// the program ended.
#include <windows.h>
// After windows.h, which they need.
#include <ole2.h>
#include <oleauto.h>

#include <atomic>
#include <cstdarg>
#include <cstdio>
#include <cwchar>
#include <string>

namespace {

// {5B1F63B4-2C1D-4E0B-9A47-7D3C0E2F8A61}: the script registers this class.
constexpr CLSID kFakePlayer = {
    0x5b1f63b4, 0x2c1d, 0x4e0b, {0x9a, 0x47, 0x7d, 0x3c, 0x0e, 0x2f, 0x8a, 0x61}};
constexpr DISPID kMovie = 102;
constexpr wchar_t kWindowClass[] = L"VelloraFakePlayer";

HINSTANCE module = nullptr;
std::atomic<long> live_objects{0};
std::atomic<long> server_locks{0};

void log_line(const char* format, ...) {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(module, path, MAX_PATH);
    if (wchar_t* slash = std::wcsrchr(path, L'\\')) std::wcscpy(slash + 1, L"fake_player.log");
    FILE* log = _wfopen(path, L"ab");
    if (log == nullptr) return;
    va_list args;
    va_start(args, format);
    std::vfprintf(log, format, args);
    va_end(args);
    std::fputc('\n', log);
    std::fclose(log);
}

std::string narrow(const wchar_t* text) {
    const int n = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    std::string out(n > 0 ? n - 1 : 0, '\0');
    if (n > 1) WideCharToMultiByte(CP_UTF8, 0, text, -1, out.data(), n, nullptr, nullptr);
    return out;
}

LRESULT CALLBACK player_procedure(HWND window, UINT message, WPARAM w, LPARAM l) {
    if (message == WM_PAINT) {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        RECT r;
        GetClientRect(window, &r);
        HBRUSH brush = CreateSolidBrush(RGB(40, 70, 110));
        FillRect(dc, &r, brush);
        DeleteObject(brush);
        EndPaint(window, &paint);
        return 0;
    }
    return DefWindowProcW(window, message, w, l);
}

class FakePlayer final : public IOleObject, public IOleInPlaceObject, public IDispatch {
  public:
    FakePlayer() { ++live_objects; }

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** out) override {
        if (out == nullptr) return E_POINTER;
        if (id == IID_IUnknown || id == IID_IOleObject) {
            *out = static_cast<IOleObject*>(this);
        } else if (id == IID_IOleWindow || id == IID_IOleInPlaceObject) {
            *out = static_cast<IOleInPlaceObject*>(this);
        } else if (id == IID_IDispatch) {
            *out = static_cast<IDispatch*>(this);
        } else {
            *out = nullptr;
            return E_NOINTERFACE;
        }
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(++references_); }
    ULONG STDMETHODCALLTYPE Release() override {
        const long left = --references_;
        if (left == 0) {
            if (window_ != nullptr || site_ != nullptr) log_line("freed while active");
            if (site_ != nullptr) site_->Release();
            if (window_ != nullptr && IsWindow(window_)) DestroyWindow(window_);
            log_line("freed");
            delete this;
        }
        return static_cast<ULONG>(left);
    }

    // IOleObject
    HRESULT STDMETHODCALLTYPE SetClientSite(IOleClientSite* site) override {
        log_line(site != nullptr ? "SetClientSite" : "SetClientSite null");
        if (site != nullptr) site->AddRef();
        if (site_ != nullptr) site_->Release();
        site_ = site;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetClientSite(IOleClientSite** out) override {
        *out = site_;
        if (site_ != nullptr) site_->AddRef();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetHostNames(LPCOLESTR, LPCOLESTR) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE Close(DWORD) override {
        log_line("Close");
        InPlaceDeactivate();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetMoniker(DWORD, IMoniker*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetMoniker(DWORD, DWORD, IMoniker**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE InitFromData(IDataObject*, BOOL, DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetClipboardData(DWORD, IDataObject**) override { return E_NOTIMPL; }
    // In-place activation the way a control does it: the site must agree,
    // is told, and hands over the parent window and the rectangle.
    HRESULT STDMETHODCALLTYPE DoVerb(LONG verb, LPMSG, IOleClientSite* site, LONG, HWND parent,
                                     LPCRECT position) override {
        log_line("DoVerb %ld", verb);
        if (verb != OLEIVERB_INPLACEACTIVATE && verb != OLEIVERB_SHOW) return OLEOBJ_E_NOVERBS;
        if (window_ != nullptr) return S_OK;
        if (site == nullptr) site = site_;
        if (site == nullptr) return E_UNEXPECTED;
        IOleInPlaceSite* in_place = nullptr;
        if (FAILED(site->QueryInterface(IID_IOleInPlaceSite, reinterpret_cast<void**>(&in_place))))
            return E_NOINTERFACE;
        HRESULT result = in_place->CanInPlaceActivate();
        if (result != S_OK) {
            in_place->Release();
            return E_FAIL;
        }
        in_place->OnInPlaceActivate();
        HWND site_window = nullptr;
        in_place->GetWindow(&site_window);
        IOleInPlaceFrame* frame = nullptr;
        IOleInPlaceUIWindow* document = nullptr;
        RECT area{}, clip{};
        OLEINPLACEFRAMEINFO info{};
        info.cb = sizeof(info);
        result = in_place->GetWindowContext(&frame, &document, &area, &clip, &info);
        if (frame != nullptr) frame->Release();
        if (document != nullptr) document->Release();
        if (FAILED(result) || site_window == nullptr ||
            (parent != nullptr && parent != site_window) ||
            (position != nullptr && !EqualRect(position, &area))) {
            log_line("DoVerb: the site's window or rectangle disagrees");
            in_place->OnInPlaceDeactivate();
            in_place->Release();
            return E_FAIL;
        }
        window_ = CreateWindowExW(0, kWindowClass, L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS,
                                  area.left, area.top, area.right - area.left,
                                  area.bottom - area.top, site_window, nullptr, module, nullptr);
        if (window_ == nullptr) {
            in_place->OnInPlaceDeactivate();
            in_place->Release();
            return E_FAIL;
        }
        in_place_site_ = in_place;  // keeps the reference until deactivation
        site->ShowObject();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE EnumVerbs(IEnumOLEVERB**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Update() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE IsUpToDate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetUserClassID(CLSID* out) override {
        *out = kFakePlayer;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetUserType(DWORD, LPOLESTR*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetExtent(DWORD, SIZEL*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetExtent(DWORD, SIZEL*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Advise(IAdviseSink*, DWORD*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Unadvise(DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumAdvise(IEnumSTATDATA**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetMiscStatus(DWORD, DWORD* out) override {
        *out = OLEMISC_ACTIVATEWHENVISIBLE | OLEMISC_INSIDEOUT;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetColorScheme(LOGPALETTE*) override { return E_NOTIMPL; }

    // IOleInPlaceObject
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* out) override {
        *out = window_;
        return window_ != nullptr ? S_OK : E_FAIL;
    }
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE InPlaceDeactivate() override {
        if (in_place_site_ == nullptr) return S_OK;
        log_line("InPlaceDeactivate");
        if (window_ != nullptr) {
            // A window already taken down with its parent is a fault of the host.
            if (!IsWindow(window_))
                log_line("InPlaceDeactivate: window already gone");
            else
                DestroyWindow(window_);
            window_ = nullptr;
        }
        in_place_site_->OnInPlaceDeactivate();
        in_place_site_->Release();
        in_place_site_ = nullptr;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE UIDeactivate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE SetObjectRects(LPCRECT position, LPCRECT) override {
        if (window_ != nullptr)
            MoveWindow(window_, position->left, position->top, position->right - position->left,
                       position->bottom - position->top, TRUE);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE ReactivateAndUndo() override { return E_NOTIMPL; }

    // IDispatch: only the movie property, put as text.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* out) override {
        *out = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID member, REFIID, LCID, WORD flags, DISPPARAMS* params,
                                     VARIANT*, EXCEPINFO*, UINT*) override {
        if (member != kMovie) return DISP_E_MEMBERNOTFOUND;
        if ((flags & DISPATCH_PROPERTYPUT) == 0 || params == nullptr || params->cArgs != 1 ||
            params->cNamedArgs != 1 || params->rgdispidNamedArgs[0] != DISPID_PROPERTYPUT)
            return DISP_E_BADPARAMCOUNT;
        if (params->rgvarg[0].vt != VT_BSTR) return DISP_E_TYPEMISMATCH;
        const wchar_t* movie =
            params->rgvarg[0].bstrVal != nullptr ? params->rgvarg[0].bstrVal : L"";
        log_line("movie %s", narrow(movie).c_str());
        if (window_ != nullptr) SetWindowTextW(window_, movie);
        return S_OK;
    }

  private:
    ~FakePlayer() { --live_objects; }

    std::atomic<long> references_{1};
    IOleClientSite* site_ = nullptr;
    IOleInPlaceSite* in_place_site_ = nullptr;
    HWND window_ = nullptr;
};

class Factory final : public IClassFactory {
  public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** out) override {
        if (id == IID_IUnknown || id == IID_IClassFactory) {
            *out = static_cast<IClassFactory*>(this);
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    // The one factory lives as long as the DLL.
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID id, void** out) override {
        *out = nullptr;
        if (outer != nullptr) return CLASS_E_NOAGGREGATION;
        auto* player = new FakePlayer;
        const HRESULT result = player->QueryInterface(id, out);
        player->Release();
        return result;
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override {
        if (lock)
            ++server_locks;
        else
            --server_locks;
        return S_OK;
    }
};

Factory factory;

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        module = instance;
        DisableThreadLibraryCalls(instance);
        WNDCLASSW window_class{};
        window_class.lpfnWndProc = player_procedure;
        window_class.hInstance = instance;
        window_class.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        window_class.lpszClassName = kWindowClass;
        RegisterClassW(&window_class);
    } else if (reason == DLL_PROCESS_DETACH) {
        if (live_objects != 0) log_line("unloaded with %ld objects alive", live_objects.load());
        UnregisterClassW(kWindowClass, instance);
    }
    return TRUE;
}

extern "C" HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID id, REFIID interface_id, void** out) {
    if (id != kFakePlayer) {
        *out = nullptr;
        return CLASS_E_CLASSNOTAVAILABLE;
    }
    return factory.QueryInterface(interface_id, out);
}

extern "C" HRESULT STDAPICALLTYPE DllCanUnloadNow() {
    return live_objects == 0 && server_locks == 0 ? S_OK : S_FALSE;
}
