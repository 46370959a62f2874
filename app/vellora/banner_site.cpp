#include <windows.h>
// After windows.h, which they need.
#include <commctrl.h>
#include <ole2.h>
#include <oleauto.h>

#include "app/vellora/window_setup.h"
#include "ui/ids.h"
#include "ui/win32/dialog_host.h"

namespace vellora {

namespace {

constexpr DISPID kMovieProperty = 102;

// A minimal in-place site for the banner player: enough for an ActiveX
// control to show itself in a rectangle of the main window.
class BannerSite final : public IOleClientSite, public IOleInPlaceSite, public IOleInPlaceFrame {
  public:
    BannerSite(HWND parent, RECT area) : parent_(parent), area_(area) {}

    bool start(const CLSID& player, const std::wstring& movie) {
        if (FAILED(CoCreateInstance(player, nullptr, CLSCTX_INPROC_SERVER, IID_IOleObject,
                                    reinterpret_cast<void**>(&object_))))
            return false;
        object_->SetClientSite(this);
        if (FAILED(object_->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, this, 0, parent_, &area_))) {
            close();
            return false;
        }
        // The control's own window becomes child 999; a control that shows
        // no window of its own there leaves the area to our panel.
        HWND window = nullptr;
        IOleInPlaceObject* in_place = nullptr;
        if (SUCCEEDED(object_->QueryInterface(IID_IOleInPlaceObject,
                                              reinterpret_cast<void**>(&in_place)))) {
            if (FAILED(in_place->GetWindow(&window))) window = nullptr;
            in_place->Release();
        }
        if (window == nullptr || GetParent(window) != parent_) {
            close();
            return false;
        }
        SetWindowLongPtrW(window, GWLP_ID, IDC_BANNER);
        IDispatch* player_dispatch = nullptr;
        if (SUCCEEDED(object_->QueryInterface(IID_IDispatch,
                                              reinterpret_cast<void**>(&player_dispatch)))) {
            VARIANT value;
            VariantInit(&value);
            value.vt = VT_BSTR;
            value.bstrVal = SysAllocString(movie.c_str());
            DISPID named = DISPID_PROPERTYPUT;
            DISPPARAMS params{&value, &named, 1, 1};
            player_dispatch->Invoke(kMovieProperty, IID_NULL, LOCALE_USER_DEFAULT,
                                    DISPATCH_PROPERTYPUT, &params, nullptr, nullptr, nullptr);
            VariantClear(&value);
            player_dispatch->Release();
        }
        return true;
    }

    // Deactivated while the main window still exists, so the control takes
    // down its own window and lets go of the site before we let go of it.
    void close() {
        if (object_ == nullptr) return;
        IOleInPlaceObject* in_place = nullptr;
        if (SUCCEEDED(object_->QueryInterface(IID_IOleInPlaceObject,
                                              reinterpret_cast<void**>(&in_place)))) {
            in_place->InPlaceDeactivate();
            in_place->Release();
        }
        object_->Close(OLECLOSE_NOSAVE);
        object_->SetClientSite(nullptr);
        object_->Release();
        object_ = nullptr;
    }

    HWND parent() const { return parent_; }

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** out) override {
        if (id == IID_IUnknown || id == IID_IOleClientSite) {
            *out = static_cast<IOleClientSite*>(this);
        } else if (id == IID_IOleWindow || id == IID_IOleInPlaceSite) {
            *out = static_cast<IOleInPlaceSite*>(this);
        } else if (id == IID_IOleInPlaceUIWindow || id == IID_IOleInPlaceFrame) {
            *out = static_cast<IOleInPlaceFrame*>(this);
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
        if (left == 0) delete this;
        return static_cast<ULONG>(left);
    }

    // IOleClientSite
    HRESULT STDMETHODCALLTYPE SaveObject() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetMoniker(DWORD, DWORD, IMoniker** out) override {
        *out = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetContainer(IOleContainer** out) override {
        *out = nullptr;
        return E_NOINTERFACE;
    }
    HRESULT STDMETHODCALLTYPE ShowObject() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnShowWindow(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE RequestNewObjectLayout() override { return E_NOTIMPL; }

    // IOleWindow (for the site and the frame)
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* out) override {
        *out = parent_;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

    // IOleInPlaceSite
    HRESULT STDMETHODCALLTYPE CanInPlaceActivate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnInPlaceActivate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnUIActivate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** doc,
                                               LPRECT position, LPRECT clip,
                                               LPOLEINPLACEFRAMEINFO info) override {
        *frame = this;
        AddRef();
        *doc = nullptr;
        *position = area_;
        *clip = area_;
        info->fMDIApp = FALSE;
        info->hwndFrame = parent_;
        info->haccel = nullptr;
        info->cAccelEntries = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Scroll(SIZE) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE OnUIDeactivate(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnInPlaceDeactivate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE DiscardUndoState() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DeactivateAndUndo() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE OnPosRectChange(LPCRECT) override { return S_OK; }

    // IOleInPlaceUIWindow
    HRESULT STDMETHODCALLTYPE GetBorder(LPRECT) override { return INPLACE_E_NOTOOLSPACE; }
    HRESULT STDMETHODCALLTYPE RequestBorderSpace(LPCBORDERWIDTHS) override {
        return INPLACE_E_NOTOOLSPACE;
    }
    HRESULT STDMETHODCALLTYPE SetBorderSpace(LPCBORDERWIDTHS) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE SetActiveObject(IOleInPlaceActiveObject*, LPCOLESTR) override {
        return S_OK;
    }

    // IOleInPlaceFrame
    HRESULT STDMETHODCALLTYPE InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE SetMenu(HMENU, HOLEMENU, HWND) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE RemoveMenus(HMENU) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetStatusText(LPCOLESTR) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE EnableModeless(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE TranslateAccelerator(LPMSG, WORD) override { return S_FALSE; }

  private:
    ~BannerSite() = default;

    HWND parent_;
    RECT area_;
    IOleObject* object_ = nullptr;
    long references_ = 1;
};

BannerSite* current_site = nullptr;

// The player goes with the main window, while that window and the player's
// own window inside it still exist.
LRESULT CALLBACK main_window_ends(HWND window, UINT message, WPARAM w, LPARAM l, UINT_PTR id,
                                  DWORD_PTR) {
    if (message == WM_DESTROY) {
        RemoveWindowSubclass(window, main_window_ends, id);
        if (current_site != nullptr && current_site->parent() == window) close_banner();
    }
    return DefSubclassProc(window, message, w, l);
}

}  // namespace

// The banner rectangle: the main window's client area moved in by 505 on
// the left, 55 at the top, 13 on the right and 35 at the bottom, in pixels
// at 96 dpi that grow with the window's dpi like its dialog units do.
void load_banner(const std::filesystem::path& movie) {
    ui::win32::DialogHost* host = ui::win32::active_host();
    if (host == nullptr || host->template_id() != IDD_MAIN) return;
    HWND main = host->hwnd();
    if (GetDlgItem(main, IDC_BANNER) != nullptr) return;  // made once per window
    close_banner();
    HCURSOR previous = SetCursor(LoadCursorW(nullptr, IDC_WAIT));
    RECT client{};
    GetClientRect(main, &client);
    const RECT area{client.left + scaled(main, 505), client.top + scaled(main, 55),
                    client.right - scaled(main, 13), client.bottom - scaled(main, 35)};
    // Where the player is not registered (nearly everywhere today) the area
    // shows our own quiet panel, without a word to the user.
    CLSID player{};
    bool playing = false;
    if (SUCCEEDED(CLSIDFromProgID(L"ShockwaveFlash.ShockwaveFlash", &player))) {
        current_site = new BannerSite(main, area);
        playing = current_site->start(player, movie.wstring());
        if (playing)
            SetWindowSubclass(main, main_window_ends, 0, 0);
        else
            close_banner();
    }
    if (!playing) {
        CreateWindowExW(0, L"Static", L"", WS_CHILD | WS_VISIBLE | SS_OWNERDRAW, area.left,
                        area.top, area.right - area.left, area.bottom - area.top, main,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_BANNER)),
                        GetModuleHandleW(nullptr), nullptr);
    }
    SetCursor(previous);
}

void close_banner() {
    if (current_site == nullptr) return;
    current_site->close();
    current_site->Release();
    current_site = nullptr;
}

}  // namespace vellora
