#include "vat_engine.h"

#include <atomic>
#include <new>
#include <string>

#include "arguments.h"
#include "engine/nif_validator.h"
#include "nxcore_h.h"
#include "platform/win32/com/com_ptr.h"
#include "registration.h"

namespace nx::nxcore {

using win32::ComPtr;

namespace {

HINSTANCE gInstance = nullptr;
std::atomic<long> gObjects{0};
std::atomic<long> gLocks{0};

constexpr wchar_t kSource[] = L"nxcore.VatEngine";

bool checkWithPrefix(std::string& number) {
  int index = -1;
  taxid::splitCountryPrefix(number, index, true);
  return index >= 0 && taxid::checkNumber(number, index);
}

// Every member of IVatEngine is a stateless call of the engine; the object only holds its type
// information for IDispatch.
class VatEngine final : public IVatEngine, public ISupportErrorInfo {
 public:
  explicit VatEngine(ComPtr<ITypeInfo> typeInfo) : typeInfo_(std::move(typeInfo)) { ++gObjects; }
  ~VatEngine() { --gObjects; }
  VatEngine(const VatEngine&) = delete;
  VatEngine& operator=(const VatEngine&) = delete;

  // IUnknown
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IDispatch || iid == IID_IVatEngine) {
      *out = static_cast<IVatEngine*>(this);
    } else if (iid == IID_ISupportErrorInfo) {
      *out = static_cast<ISupportErrorInfo*>(this);
    } else {
      *out = nullptr;
      return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = --refs_;
    if (left == 0) delete this;
    return left;
  }

  // ISupportErrorInfo
  HRESULT STDMETHODCALLTYPE InterfaceSupportsErrorInfo(REFIID iid) override {
    return iid == IID_IVatEngine ? S_OK : S_FALSE;
  }

  // IDispatch, through the type library.
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    if (!count) return E_POINTER;
    *count = 1;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID, ITypeInfo** out) override {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (index != 0) return DISP_E_BADINDEX;
    typeInfo_->AddRef();
    *out = typeInfo_.get();
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID,
                                          DISPID* ids) override {
    if (iid != IID_NULL) return DISP_E_UNKNOWNINTERFACE;
    return DispGetIDsOfNames(typeInfo_.get(), names, count, ids);
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID, WORD flags, DISPPARAMS* params,
                                   VARIANT* result, EXCEPINFO* exception, UINT* argError) override {
    if (iid != IID_NULL) return DISP_E_UNKNOWNINTERFACE;
    if ((id == kCheckArray || id == kCompleteArray) && (flags & DISPATCH_METHOD) && params &&
        params->cNamedArgs == 0 && params->cArgs >= 1 && params->cArgs <= 2)
      return invokeArrayCall(id, *params, result, exception);
    return DispInvoke(static_cast<IVatEngine*>(this), typeInfo_.get(), id, flags, params, result,
                      exception, argError);
  }

  // IVatEngine
  HRESULT STDMETHODCALLTYPE checkNumber(BSTR number, VARIANT country,
                                        VARIANT_BOOL* result) override {
    if (!result) return E_POINTER;
    *result = VARIANT_FALSE;
    return guarded([&]() -> Problem {
      int index = -1;
      if (Problem p = readCountry(country, index)) return p;
      std::string text;
      utf8FromWide(bstrView(number), text);
      const bool valid = index < 0 ? checkWithPrefix(text) : taxid::checkNumber(text, index);
      *result = valid ? VARIANT_TRUE : VARIANT_FALSE;
      return {};
    });
  }

  HRESULT STDMETHODCALLTYPE completeNumber(BSTR number, VARIANT country, BSTR* result) override {
    if (!result) return E_POINTER;
    *result = nullptr;
    return guarded([&]() -> Problem {
      int index = -1;
      if (Problem p = readCountry(country, index)) return p;
      std::string text;
      utf8FromWide(bstrView(number), text);
      return setText(result, taxid::completeNumber(text, index));
    });
  }

  HRESULT STDMETHODCALLTYPE countryCode(long index, BSTR* result) override {
    if (!result) return E_POINTER;
    *result = nullptr;
    return guarded([&] { return setText(result, taxid::countryCode(tableIndex(index))); });
  }

  HRESULT STDMETHODCALLTYPE countryName(long index, long lang, BSTR* result) override {
    if (!result) return E_POINTER;
    *result = nullptr;
    return guarded([&] {
      return setText(
          result, taxid::countryName(tableIndex(index), lang == 1 ? taxid::NX_PT : taxid::NX_EN));
    });
  }

  HRESULT STDMETHODCALLTYPE countryIndex(BSTR code, long* result) override {
    if (!result) return E_POINTER;
    *result = -1;
    return guarded([&]() -> Problem {
      std::string text;
      utf8FromWide(bstrView(code), text);
      *result = taxid::countryIndex(text);
      return {};
    });
  }

  HRESULT STDMETHODCALLTYPE splitCountryPrefix(VARIANT* number, VARIANT* index,
                                               VARIANT_BOOL strip) override {
    if (!number || !index) return E_POINTER;
    return guarded([&]() -> Problem {
      std::wstring wide;
      if (Problem p = readText(*number, wide)) return p;
      std::string text;
      utf8FromWide(wide, text);
      int found = -1;
      taxid::splitCountryPrefix(text, found, strip != VARIANT_FALSE);
      // Both results are written, or neither.
      if (Problem p = checkIndexTarget(*index)) return p;
      if (Problem p = storeText(*number, wideFromUtf8(text))) return p;
      storeIndex(*index, found);
      return {};
    });
  }

  HRESULT STDMETHODCALLTYPE checkArray(VARIANT numbers, VARIANT country, VARIANT* result) override {
    if (!result) return E_POINTER;
    VariantInit(result);
    return guarded([&]() -> Problem {
      int index = -1;
      if (Problem p = readCountry(country, index)) return p;
      std::string scratch;
      return mapArray(numbers, result, [&](std::optional<std::string_view> number, VARIANT& out) {
        bool valid = false;
        if (number && index >= 0) {
          valid = taxid::checkNumber(*number, index);
        } else if (number) {
          scratch.assign(*number);
          valid = checkWithPrefix(scratch);
        }
        V_VT(&out) = VT_BOOL;
        V_BOOL(&out) = valid ? VARIANT_TRUE : VARIANT_FALSE;
      });
    });
  }

  HRESULT STDMETHODCALLTYPE completeArray(VARIANT numbers, VARIANT country,
                                          VARIANT* result) override {
    if (!result) return E_POINTER;
    VariantInit(result);
    return guarded([&]() -> Problem {
      int index = -1;
      if (Problem p = readCountry(country, index)) return p;
      bool outOfMemory = false;
      Problem p =
          mapArray(numbers, result, [&](std::optional<std::string_view> number, VARIANT& out) {
            const std::string completed =
                number ? taxid::completeNumber(*number, index) : std::string();
            V_VT(&out) = VT_BSTR;
            V_BSTR(&out) = bstrFromUtf8(completed);
            if (!V_BSTR(&out)) outOfMemory = true;
          });
      if (!p && outOfMemory) {
        VariantClear(result);
        return {E_OUTOFMEMORY, L"not enough memory for the completed numbers"};
      }
      return p;
    });
  }

  HRESULT STDMETHODCALLTYPE get_countryCount(long* result) override {
    if (!result) return E_POINTER;
    *result = taxid::kCountryCount;
    return S_OK;
  }

 private:
  // Dispatch identifiers of the array calls in the type library.
  static constexpr DISPID kCheckArray = 7;
  static constexpr DISPID kCompleteArray = 8;

  // The array calls without the type library's argument conversion, which would copy the
  // whole array, every text of it, before the call.
  HRESULT invokeArrayCall(DISPID id, const DISPPARAMS& params, VARIANT* result,
                          EXCEPINFO* exception) {
    VARIANT country;
    VariantInit(&country);
    V_VT(&country) = VT_ERROR;
    V_ERROR(&country) = DISP_E_PARAMNOTFOUND;
    if (params.cArgs == 2) country = params.rgvarg[0];
    const VARIANT& numbers = params.rgvarg[params.cArgs - 1];
    Variant unused;
    VARIANT* out = result ? result : unused.get();
    const HRESULT hr = id == kCheckArray ? checkArray(numbers, country, out)
                                         : completeArray(numbers, country, out);
    if (SUCCEEDED(hr) || !exception) return hr;
    *exception = EXCEPINFO{};
    exception->scode = hr;
    ComPtr<IErrorInfo> info;
    if (GetErrorInfo(0, info.put()) == S_OK && info) {
      info->GetSource(&exception->bstrSource);
      info->GetDescription(&exception->bstrDescription);
    }
    return DISP_E_EXCEPTION;
  }

  static int tableIndex(long index) {
    return index >= 0 && index < taxid::kCountryCount ? static_cast<int>(index) : -1;
  }

  static Problem setText(BSTR* result, std::string_view utf8) {
    *result = bstrFromUtf8(utf8);
    if (!*result) return {E_OUTOFMEMORY, L"not enough memory for the text"};
    return {};
  }

  // Runs a member's body; a Problem becomes the call's HRESULT and its error object.
  template <typename Body>
  static HRESULT guarded(Body&& body) {
    Problem problem;
    try {
      problem = body();
    } catch (const std::bad_alloc&) {
      problem = {E_OUTOFMEMORY, L"not enough memory"};
    } catch (...) {
      problem = {E_UNEXPECTED, L"unexpected failure"};
    }
    if (!problem) {
      SetErrorInfo(0, nullptr);
      return S_OK;
    }
    return raise(problem);
  }

  static HRESULT raise(const Problem& problem) {
    ComPtr<ICreateErrorInfo> create;
    if (SUCCEEDED(CreateErrorInfo(create.put()))) {
      create->SetGUID(IID_IVatEngine);
      create->SetSource(const_cast<LPOLESTR>(kSource));
      create->SetDescription(const_cast<LPOLESTR>(problem.text.c_str()));
      ComPtr<IErrorInfo> info = create.as<IErrorInfo>(IID_IErrorInfo);
      SetErrorInfo(0, info.get());
    }
    return problem.code;
  }

  std::atomic<ULONG> refs_{1};
  ComPtr<ITypeInfo> typeInfo_;
};

}  // namespace

HRESULT createVatEngine(REFIID iid, void** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  ComPtr<ITypeLib> library;
  HRESULT hr = LoadTypeLibEx(modulePath().c_str(), REGKIND_NONE, library.put());
  if (FAILED(hr)) return hr;
  ComPtr<ITypeInfo> info;
  hr = library->GetTypeInfoOfGuid(IID_IVatEngine, info.put());
  if (FAILED(hr)) return hr;
  auto* engine = new (std::nothrow) VatEngine(std::move(info));
  if (!engine) return E_OUTOFMEMORY;
  hr = engine->QueryInterface(iid, out);
  engine->Release();
  return hr;
}

void serverLock(bool on) {
  on ? ++gLocks : --gLocks;
}

bool serverCanUnload() {
  return gObjects == 0 && gLocks == 0;
}

void setModuleInstance(HINSTANCE instance) {
  gInstance = instance;
}

HINSTANCE moduleInstance() {
  return gInstance;
}

}  // namespace nx::nxcore
