#include "common/list_accessible_win.h"

#include <commctrl.h>
#include <oleacc.h>

#include <string>

namespace {

constexpr UINT_PTR kSubclassId = 0x4C52;  // "LR"
constexpr int kTextCapacity = 5000;

// The text of a cell as shown, without the marks that embed it in a
// reading direction.
std::wstring CellText(HWND list, int row, int column) {
  std::wstring text(kTextCapacity, L'\0');
  LVITEMW item = {};
  item.iSubItem = column;
  item.pszText = &text[0];
  item.cchTextMax = kTextCapacity;
  text.resize(static_cast<size_t>(SendMessageW(list, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item))));
  std::wstring shown;
  for (wchar_t c : text) {
    if (c < 0x202A || c > 0x202E) shown.push_back(c);
  }
  return shown;
}

// The system's proxy of the list with the rows' names and values of its own.
class CListRows : public IAccessible {
 public:
  CListRows(HWND list, IAccessible* proxy) : list_(list), proxy_(proxy) {}
  virtual ~CListRows() { proxy_->Release(); }

  // IUnknown
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** out) override {
    if (!out) return E_POINTER;
    if (id == IID_IUnknown || id == IID_IDispatch || id == __uuidof(IAccessible)) {
      *out = static_cast<IAccessible*>(this);
      AddRef();
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return InterlockedIncrement(&references_); }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = InterlockedDecrement(&references_);
    if (left == 0) delete this;
    return left;
  }

  // The rows' names and values.
  HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
    int row = 0;
    if (!Row(child, &row)) return proxy_->get_accName(child, name);
    std::wstring label = CellText(list_, row, 0);
    if (label.empty()) label = CellText(list_, row, 1);
    return Answer(label, name);
  }
  HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override {
    int row = 0;
    if (!Row(child, &row)) return proxy_->get_accValue(child, value);
    return Answer(CellText(list_, row, 0).empty() ? std::wstring() : CellText(list_, row, 1), value);
  }

  // The rest is the system's.
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override { return proxy_->GetTypeInfoCount(count); }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override {
    return proxy_->GetTypeInfo(index, locale, info);
  }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID id, LPOLESTR* names, UINT count, LCID locale,
                                          DISPID* ids) override {
    return proxy_->GetIDsOfNames(id, names, count, locale, ids);
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID member, REFIID id, LCID locale, WORD flags, DISPPARAMS* parameters,
                                   VARIANT* result, EXCEPINFO* exception, UINT* argument) override {
    return proxy_->Invoke(member, id, locale, flags, parameters, result, exception, argument);
  }
  HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override { return proxy_->get_accParent(parent); }
  HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) override { return proxy_->get_accChildCount(count); }
  HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** out) override {
    return proxy_->get_accChild(child, out);
  }
  HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* out) override {
    return proxy_->get_accDescription(child, out);
  }
  HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* out) override { return proxy_->get_accRole(child, out); }
  HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* out) override {
    return proxy_->get_accState(child, out);
  }
  HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* out) override { return proxy_->get_accHelp(child, out); }
  HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, long* topic) override {
    return proxy_->get_accHelpTopic(file, child, topic);
  }
  HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* out) override {
    return proxy_->get_accKeyboardShortcut(child, out);
  }
  HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* out) override { return proxy_->get_accFocus(out); }
  HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* out) override { return proxy_->get_accSelection(out); }
  HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* out) override {
    return proxy_->get_accDefaultAction(child, out);
  }
  HRESULT STDMETHODCALLTYPE accSelect(long flags, VARIANT child) override { return proxy_->accSelect(flags, child); }
  HRESULT STDMETHODCALLTYPE accLocation(long* left, long* top, long* width, long* height, VARIANT child) override {
    return proxy_->accLocation(left, top, width, height, child);
  }
  HRESULT STDMETHODCALLTYPE accNavigate(long direction, VARIANT start, VARIANT* end) override {
    return proxy_->accNavigate(direction, start, end);
  }
  HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* out) override { return proxy_->accHitTest(x, y, out); }
  HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override { return proxy_->accDoDefaultAction(child); }
  HRESULT STDMETHODCALLTYPE put_accName(VARIANT child, BSTR name) override { return proxy_->put_accName(child, name); }
  HRESULT STDMETHODCALLTYPE put_accValue(VARIANT child, BSTR value) override {
    return proxy_->put_accValue(child, value);
  }

 private:
  // The row of a child id, when it names one.
  bool Row(const VARIANT& child, int* row) const {
    if (child.vt != VT_I4 || child.lVal <= CHILDID_SELF) return false;
    *row = static_cast<int>(child.lVal - 1);
    return *row < static_cast<int>(SendMessageW(list_, LVM_GETITEMCOUNT, 0, 0));
  }

  static HRESULT Answer(const std::wstring& text, BSTR* out) {
    if (!out) return E_POINTER;
    *out = text.empty() ? nullptr : SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    return *out ? S_OK : S_FALSE;
  }

  HWND list_;
  IAccessible* proxy_;
  LONG references_ = 1;
};

LRESULT CALLBACK ListProcedure(HWND list, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
  if (message == WM_GETOBJECT && static_cast<LONG>(lParam) == OBJID_CLIENT) {
    IAccessible* proxy = nullptr;
    if (SUCCEEDED(CreateStdAccessibleObject(list, OBJID_CLIENT, __uuidof(IAccessible),
                                            reinterpret_cast<void**>(&proxy)))) {
      auto* rows = new CListRows(list, proxy);
      const LRESULT answer = LresultFromObject(__uuidof(IAccessible), wParam, rows);
      rows->Release();
      return answer;
    }
  }
  if (message == WM_NCDESTROY) RemoveWindowSubclass(list, ListProcedure, kSubclassId);
  return DefSubclassProc(list, message, wParam, lParam);
}

}  // namespace

bool NameListRowsForScreenReaders(HWND list) {
  return list && SetWindowSubclass(list, ListProcedure, kSubclassId, 0);
}
