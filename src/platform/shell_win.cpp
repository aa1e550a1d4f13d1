// Opening documents, pages and programs with ShellExecuteW "open", in this
// process or through the desktop shell's process.
#include <windows.h>
#include <exdisp.h>
#include <servprov.h>
#include <shellapi.h>
#include <shldisp.h>
#include <shlobj.h>

#include "platform/shell.h"

namespace platform {
namespace {

int ShowCommand(ShowMode show) {
  if (show == ShowMode::kMaximized) return SW_SHOWMAXIMIZED;
  if (show == ShowMode::kHidden) return SW_HIDE;
  return SW_SHOWNORMAL;
}

// Owns one COM interface pointer.
template <typename T>
class ComRef {
 public:
  ComRef() = default;
  ~ComRef() {
    if (p_ != nullptr) p_->Release();
  }
  ComRef(const ComRef&) = delete;
  ComRef& operator=(const ComRef&) = delete;
  T** Out() { return &p_; }
  void** OutVoid() { return reinterpret_cast<void**>(&p_); }
  T* operator->() const { return p_; }
  T* get() const { return p_; }

 private:
  T* p_ = nullptr;
};

class Bstr {
 public:
  explicit Bstr(const std::wstring& text) : b_(SysAllocStringLen(text.data(), static_cast<UINT>(text.size()))) {}
  ~Bstr() { SysFreeString(b_); }
  Bstr(const Bstr&) = delete;
  Bstr& operator=(const Bstr&) = delete;
  BSTR get() const { return b_; }

 private:
  BSTR b_;
};

// The desktop's IShellDispatch2, the object behind Explorer's own "Shell.Application".
bool DesktopShellDispatch(ComRef<IShellDispatch2>* out) {
  ComRef<IShellWindows> windows;
  if (FAILED(CoCreateInstance(CLSID_ShellWindows, nullptr, CLSCTX_LOCAL_SERVER, IID_IShellWindows,
                              windows.OutVoid()))) {
    return false;
  }
  VARIANT location;
  VariantInit(&location);
  location.vt = VT_I4;
  location.lVal = CSIDL_DESKTOP;
  VARIANT root;
  VariantInit(&root);
  long window = 0;
  ComRef<IDispatch> desktop;
  if (windows->FindWindowSW(&location, &root, SWC_DESKTOP, &window, SWFO_NEEDDISPATCH, desktop.Out()) != S_OK ||
      desktop.get() == nullptr) {
    return false;
  }
  ComRef<IServiceProvider> services;
  ComRef<IShellBrowser> browser;
  ComRef<IShellView> view;
  ComRef<IDispatch> background;
  ComRef<IShellFolderViewDual> folderView;
  ComRef<IDispatch> application;
  return SUCCEEDED(desktop->QueryInterface(IID_IServiceProvider, services.OutVoid())) &&
         SUCCEEDED(services->QueryService(SID_STopLevelBrowser, IID_IShellBrowser, browser.OutVoid())) &&
         SUCCEEDED(browser->QueryActiveShellView(view.Out())) &&
         SUCCEEDED(view->GetItemObject(SVGIO_BACKGROUND, IID_IDispatch, background.OutVoid())) &&
         SUCCEEDED(background->QueryInterface(IID_IShellFolderViewDual, folderView.OutVoid())) &&
         SUCCEEDED(folderView->get_Application(application.Out())) &&
         SUCCEEDED(application->QueryInterface(IID_IShellDispatch2, out->OutVoid()));
}

bool OpenThroughDesktopShell(const std::wstring& target, const std::wstring& parameters,
                             const std::wstring& workingFolder, ShowMode show) {
  ComRef<IShellDispatch2> shell;
  if (!DesktopShellDispatch(&shell)) return false;
  const Bstr file(target), args(parameters), folder(workingFolder), verb(L"open");
  VARIANT vArgs, vFolder, vVerb, vShow;
  VariantInit(&vArgs);
  VariantInit(&vFolder);
  VariantInit(&vVerb);
  VariantInit(&vShow);
  vArgs.vt = VT_BSTR;
  vArgs.bstrVal = args.get();
  vFolder.vt = VT_BSTR;
  vFolder.bstrVal = folder.get();
  vVerb.vt = VT_BSTR;
  vVerb.bstrVal = verb.get();
  vShow.vt = VT_I4;
  vShow.lVal = ShowCommand(show);
  return SUCCEEDED(shell->ShellExecute(file.get(), vArgs, vFolder, vVerb, vShow));
}

}  // namespace

bool ShellOpen(const std::wstring& target, const std::wstring& parameters, const std::wstring& workingFolder,
               ShowMode show) {
  const HINSTANCE result =
      ShellExecuteW(nullptr, L"open", target.c_str(), parameters.empty() ? nullptr : parameters.c_str(),
                    workingFolder.empty() ? nullptr : workingFolder.c_str(), ShowCommand(show));
  // Values above 32 mean success.
  return reinterpret_cast<INT_PTR>(result) > 32;
}

bool ShellOpenAsDesktopUser(const std::wstring& target, const std::wstring& parameters,
                            const std::wstring& workingFolder, ShowMode show, bool* viaDesktopShell) {
  const HRESULT init = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  const bool viaShell = OpenThroughDesktopShell(target, parameters, workingFolder, show);
  if (SUCCEEDED(init)) CoUninitialize();
  if (viaDesktopShell != nullptr) *viaDesktopShell = viaShell;
  return viaShell || ShellOpen(target, parameters, workingFolder, show);
}

}  // namespace platform
