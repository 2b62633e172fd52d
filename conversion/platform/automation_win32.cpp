// ClsParse as a COM Automation object: the dual interface _ClsParse (its
// slots in the type library's order, and IDispatch by name and dispatch
// identifier), the __ClsParse connection point raising Progressie, and the
// library's self-registration.  Strings cross as BSTR (UTF-16) and are
// Windows-1252 inside.

#include <windows.h>
// after windows.h
#include <ocidl.h>
#include <oleauto.h>
#include <olectl.h>

#include <atomic>
#include <cstring>
#include <new>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "conversion/platform/automation.h"
#include "shared/codec.h"
#include "shared/platform/win32.h"

namespace tlv::automation {
namespace {

namespace com = component;
using port::win32::narrow;
using port::win32::wide_path;

GUID to_guid(const com::Guid& guid) {
    GUID result;
    std::memcpy(&result, &guid, sizeof result);
    return result;
}
const GUID kDual = to_guid(com::kIidClsParse);
const GUID kEvents = to_guid(com::kIidClsParseEvents);
const GUID kClass = to_guid(com::kClsidClsParse);
const GUID kLibrary = to_guid(com::kTypeLibrary);

// _ClsParse after the seven slots of IDispatch, as the type library lists it.
struct DualClsParse : public ::IDispatch {
    virtual HRESULT STDMETHODCALLTYPE Parsen(BSTR* strPad, BSTR* strGARtrip,
                                             VARIANT_BOOL* result) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_strFout(BSTR* val) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_strFout(BSTR* val) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_intAantWaypoints(short* count) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_intAantRoutes(short* count) = 0;
};

// Windows-1252 inside; a text without that form cannot be a path of ours.
bool to_text(BSTR value, std::string& text) {
    std::optional<std::string> converted =
        codec::from_utf8(narrow({value ? value : L"", value ? SysStringLen(value) : 0u}));
    if (converted) text = std::move(*converted);
    return converted.has_value();
}
BSTR to_bstr(std::string_view text) {
    std::wstring utf16 = wide_path(text);
    return SysAllocStringLen(utf16.data(), UINT(utf16.size()));
}

HMODULE this_module() {
    HMODULE module = nullptr;
    ::GetModuleHandleExW(
        GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
        reinterpret_cast<LPCWSTR>(&this_module), &module);
    return module;
}
std::wstring module_path() {
    wchar_t path[MAX_PATH * 4];
    DWORD length = ::GetModuleFileNameW(this_module(), path, DWORD(std::size(path)));
    return {path, length};
}

// An argument as the string it holds: by value, by reference, or a variant
// by reference (as scripts pass their variables).
HRESULT argument_text(const VARIANT& given, std::string& text) {
    const VARIANT* value = &given;
    if (V_VT(value) == (VT_VARIANT | VT_BYREF)) value = V_VARIANTREF(value);
    if (V_VT(value) == (VT_BSTR | VT_BYREF))
        return to_text(*V_BSTRREF(value), text) ? S_OK : E_INVALIDARG;
    VARIANT converted;
    VariantInit(&converted);
    if (FAILED(VariantChangeType(&converted, const_cast<VARIANT*>(value), 0, VT_BSTR)))
        return DISP_E_TYPEMISMATCH;
    bool ok = to_text(V_BSTR(&converted), text);
    VariantClear(&converted);
    return ok ? S_OK : E_INVALIDARG;
}

struct Member {
    const wchar_t* name;
    DISPID id;
};
constexpr Member kMembers[] = {{L"Parsen", com::dispid::kParsen},
                               {L"strFout", com::dispid::kStrFout},
                               {L"intAantWaypoints", com::dispid::kIntAantWaypoints},
                               {L"intAantRoutes", com::dispid::kIntAantRoutes}};

class ClsParseObject final : public DualClsParse,
                             public ::IConnectionPointContainer,
                             public ::IConnectionPoint,
                             public com::IClsParseEvents {
public:
    explicit ClsParseObject(com::IClsParse* inner) : inner_(inner) { inner_->Advise(this); }
    ClsParseObject(const ClsParseObject&) = delete;
    ClsParseObject& operator=(const ClsParseObject&) = delete;
    ~ClsParseObject() {
        inner_->Advise(nullptr);
        inner_->Release();
        for (::IDispatch* sink : sinks_)
            if (sink) sink->Release();
    }

    // IUnknown, shared by the three COM faces.
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (!object) return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_IDispatch || iid == kDual)
            *object = static_cast<DualClsParse*>(this);
        else if (iid == IID_IConnectionPointContainer)
            *object = static_cast<::IConnectionPointContainer*>(this);
        else
            return *object = nullptr, E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override {
        ULONG left = --references_;
        if (left == 0) delete this;
        return left;
    }

    // _ClsParse.
    HRESULT STDMETHODCALLTYPE Parsen(BSTR* strPad, BSTR* strGARtrip,
                                     VARIANT_BOOL* result) override {
        std::string exchange, text;
        if (!strPad || !strGARtrip || !result) return E_POINTER;
        if (!to_text(*strPad, exchange) || !to_text(*strGARtrip, text)) return E_INVALIDARG;
        bool done = false;
        HRESULT outcome = inner_->Parsen(exchange, text, &done);
        *result = done ? VARIANT_TRUE : VARIANT_FALSE;
        return outcome;
    }
    HRESULT STDMETHODCALLTYPE put_strFout(BSTR* val) override {
        std::string line;
        if (!val) return E_POINTER;
        return to_text(*val, line) ? inner_->put_strFout(line) : E_INVALIDARG;
    }
    HRESULT STDMETHODCALLTYPE get_strFout(BSTR* val) override {
        std::string errors;
        if (!val) return E_POINTER;
        HRESULT outcome = inner_->get_strFout(&errors);
        *val = to_bstr(errors);
        return outcome;
    }
    HRESULT STDMETHODCALLTYPE get_intAantWaypoints(short* count) override {
        return inner_->get_intAantWaypoints(count);
    }
    HRESULT STDMETHODCALLTYPE get_intAantRoutes(short* count) override {
        return inner_->get_intAantRoutes(count);
    }

    // IDispatch.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        if (!count) return E_POINTER;
        *count = 1;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID, ::ITypeInfo** info) override {
        if (!info) return E_POINTER;
        *info = nullptr;
        if (index != 0) return DISP_E_BADINDEX;
        ::ITypeLib* library = nullptr;
        HRESULT loaded = LoadTypeLibEx(module_path().c_str(), REGKIND_NONE, &library);
        if (FAILED(loaded)) return loaded;
        HRESULT found = library->GetTypeInfoOfGuid(kDual, info);
        library->Release();
        return found;
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID,
                                            DISPID* ids) override {
        if (!names || !ids || count == 0) return E_POINTER;
        HRESULT outcome = S_OK;
        for (UINT i = 0; i < count; ++i) {
            ids[i] = DISPID_UNKNOWN;
            for (const Member& member : kMembers)
                if (i == 0 && _wcsicmp(names[i], member.name) == 0) ids[i] = member.id;
            if (ids[i] == DISPID_UNKNOWN) outcome = DISP_E_UNKNOWNNAME;
        }
        return outcome;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* parameters,
                                     VARIANT* result, EXCEPINFO*, UINT* argument_error) override;

    // IConnectionPointContainer: the one connection point, __ClsParse.
    HRESULT STDMETHODCALLTYPE EnumConnectionPoints(::IEnumConnectionPoints**) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID iid, ::IConnectionPoint** point) override {
        if (!point) return E_POINTER;
        if (iid != kEvents) return *point = nullptr, CONNECT_E_NOCONNECTION;
        *point = this;
        AddRef();
        return S_OK;
    }

    // IConnectionPoint: sinks of __ClsParse, by cookie (its index + 1).
    HRESULT STDMETHODCALLTYPE GetConnectionInterface(IID* iid) override {
        if (!iid) return E_POINTER;
        *iid = kEvents;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE
    GetConnectionPointContainer(::IConnectionPointContainer** container) override {
        if (!container) return E_POINTER;
        *container = this;
        AddRef();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Advise(::IUnknown* sink, DWORD* cookie) override {
        if (!sink || !cookie) return E_POINTER;
        void* events = nullptr;
        if (FAILED(sink->QueryInterface(kEvents, &events)) &&
            FAILED(sink->QueryInterface(IID_IDispatch, &events)))
            return CONNECT_E_CANNOTCONNECT;
        sinks_.push_back(static_cast<::IDispatch*>(events));
        *cookie = DWORD(sinks_.size());
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Unadvise(DWORD cookie) override {
        if (cookie == 0 || cookie > sinks_.size() || !sinks_[cookie - 1])
            return CONNECT_E_NOCONNECTION;
        std::exchange(sinks_[cookie - 1], nullptr)->Release();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE EnumConnections(::IEnumConnections**) override { return E_NOTIMPL; }

    // From the conversion, once per block: every sink gets Progressie with
    // its own copy of the text; what a sink does with it has no effect.
    void Progressie(std::string& aantRegels) override {
        for (size_t i = 0; i < sinks_.size(); ++i) {
            ::IDispatch* sink = sinks_[i];
            if (!sink) continue;
            BSTR count = to_bstr(aantRegels);
            VARIANT argument;
            VariantInit(&argument);
            V_VT(&argument) = VT_BSTR | VT_BYREF;
            V_BSTRREF(&argument) = &count;
            DISPPARAMS parameters{&argument, nullptr, 1, 0};
            sink->Invoke(com::dispid::kProgressie, IID_NULL, 0, DISPATCH_METHOD, &parameters,
                         nullptr, nullptr, nullptr);
            SysFreeString(count);
        }
    }

private:
    HRESULT invoke_parsen(DISPPARAMS& parameters, VARIANT* result, UINT* argument_error);

    com::IClsParse* inner_;
    std::atomic<ULONG> references_{0};
    std::vector<::IDispatch*> sinks_;
};

HRESULT ClsParseObject::invoke_parsen(DISPPARAMS& parameters, VARIANT* result,
                                      UINT* argument_error) {
    if (parameters.cArgs != 2) return DISP_E_BADPARAMCOUNT;
    std::string exchange, text;
    // Arguments arrive last first.
    for (UINT i : {1u, 0u}) {
        HRESULT read = argument_text(parameters.rgvarg[i], i == 1 ? exchange : text);
        if (FAILED(read)) {
            if (argument_error) *argument_error = i;
            return read;
        }
    }
    bool done = false;
    HRESULT outcome = inner_->Parsen(exchange, text, &done);
    if (SUCCEEDED(outcome) && result) {
        V_VT(result) = VT_BOOL;
        V_BOOL(result) = done ? VARIANT_TRUE : VARIANT_FALSE;
    }
    return outcome;
}

HRESULT STDMETHODCALLTYPE ClsParseObject::Invoke(DISPID id, REFIID, LCID, WORD flags,
                                                 DISPPARAMS* parameters, VARIANT* result,
                                                 EXCEPINFO*, UINT* argument_error) {
    if (!parameters) return E_POINTER;
    if (result) VariantInit(result);
    const bool get = flags & (DISPATCH_PROPERTYGET | DISPATCH_METHOD);
    if (id == com::dispid::kParsen && (flags & DISPATCH_METHOD))
        return invoke_parsen(*parameters, result, argument_error);
    if (id == com::dispid::kStrFout && (flags & DISPATCH_PROPERTYPUT)) {
        if (parameters->cArgs != 1) return DISP_E_BADPARAMCOUNT;
        std::string line;
        HRESULT read = argument_text(parameters->rgvarg[0], line);
        return FAILED(read) ? read : inner_->put_strFout(line);
    }
    if (!get || parameters->cArgs != 0)
        return parameters->cArgs ? DISP_E_BADPARAMCOUNT : DISP_E_MEMBERNOTFOUND;
    if (id == com::dispid::kStrFout) {
        BSTR errors = nullptr;
        HRESULT outcome = get_strFout(&errors);
        if (result)
            V_VT(result) = VT_BSTR, V_BSTR(result) = errors;
        else
            SysFreeString(errors);
        return outcome;
    }
    short count = 0;
    HRESULT outcome = id == com::dispid::kIntAantWaypoints ? get_intAantWaypoints(&count)
                      : id == com::dispid::kIntAantRoutes  ? get_intAantRoutes(&count)
                                                           : DISP_E_MEMBERNOTFOUND;
    if (SUCCEEDED(outcome) && result) V_VT(result) = VT_I2, V_I2(result) = count;
    return outcome;
}

std::wstring text_of(const GUID& guid) {
    wchar_t text[40];
    StringFromGUID2(guid, text, 40);
    return text;
}

bool set_value(const std::wstring& key, const wchar_t* name, const std::wstring& value) {
    HKEY handle = nullptr;
    if (::RegCreateKeyExW(HKEY_CLASSES_ROOT, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr,
                          &handle, nullptr) != ERROR_SUCCESS)
        return false;
    LONG written =
        ::RegSetValueExW(handle, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                         DWORD((value.size() + 1) * sizeof(wchar_t)));
    ::RegCloseKey(handle);
    return written == ERROR_SUCCESS;
}

}  // namespace

bool for_com_client(const component::Guid& iid) { return !(iid == com::kIidClsParseNative); }

component::HResult wrap(component::IClsParse* inner, const component::Guid& iid, void** object) {
    auto* created = new (std::nothrow) ClsParseObject(inner);
    if (!created) {
        inner->Release();
        return E_OUTOFMEMORY;
    }
    created->AddRef();
    HRESULT result = created->QueryInterface(to_guid(iid), object);
    created->Release();
    return result;
}

component::HResult register_server(bool enter) {
    const std::wstring progid(com::kProgId.begin(), com::kProgId.end());
    const std::wstring class_key = L"CLSID\\" + text_of(kClass);
    if (!enter) {
        ::RegDeleteTreeW(HKEY_CLASSES_ROOT, class_key.c_str());
        ::RegDeleteTreeW(HKEY_CLASSES_ROOT, progid.c_str());
        UnRegisterTypeLib(kLibrary, com::kTypeLibraryMajor, com::kTypeLibraryMinor, 0, SYS_WIN64);
        return S_OK;
    }
    const std::wstring path = module_path();
    const bool entered =
        set_value(class_key, nullptr, progid) &&
        set_value(class_key + L"\\InprocServer32", nullptr, path) &&
        set_value(class_key + L"\\InprocServer32", L"ThreadingModel",
                  std::wstring(com::kThreadingModel.begin(), com::kThreadingModel.end())) &&
        set_value(class_key + L"\\ProgID", nullptr, progid) &&
        set_value(class_key + L"\\TypeLib", nullptr, text_of(kLibrary)) &&
        set_value(class_key + L"\\VERSION", nullptr, L"1.0") &&
        set_value(progid, nullptr, progid) &&
        set_value(progid + L"\\CLSID", nullptr, text_of(kClass));
    if (!entered) return SELFREG_E_CLASS;
    ::ITypeLib* library = nullptr;
    if (FAILED(LoadTypeLibEx(path.c_str(), REGKIND_REGISTER, &library))) return SELFREG_E_TYPELIB;
    library->Release();
    return S_OK;
}

}  // namespace tlv::automation
