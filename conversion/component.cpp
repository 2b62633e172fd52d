// The component shell of Converttlv: class factory, reference-counted
// ClsParse objects, the Progressie connection and the library entry points.
// The conversion itself lives in ClsParse; nothing here knows about files.

#include "shared/component.h"

#include <atomic>
#include <cstring>

#include "conversion/ParseObject.h"
#ifdef _WIN32
#include "conversion/platform/automation.h"
#endif
#include "shared/failure.h"
#include "shared/platform/native.h"
#include "shared/platform/port.h"
#include "shared/version.h"

namespace tlv::component {
namespace {

constexpr const char* kFileDescription =
    "Converteert een strepla exchange bestand naar een gartrip text bestand  Gebruik hiervoor de "
    "functie parsen(pad naar exchange,pad naar text). Parsen retourneerd een boolean.";

std::atomic<int32_t> g_locks{0};

// The library reports into error.log in its own settings folder (the one its
// program uses), under its own title.
void install_library_application() {
    static port::Application application = [] {
        std::string native = port::native::native_folder_of_address(
            reinterpret_cast<const void*>(&install_library_application));
        return port::Application{
            port::native::from_native(native), "Converttlv",
            port::native::from_native(port::native::settings_folder_for(native))};
    }();
    static bool installed = (port::install({.application = &application}), true);
    (void)installed;
}

class ParseFactory final : public IClassFactory {
public:
    HResult QueryInterface(const Guid& iid, void** object) override {
        if (!object) return kPointer;
        if (iid == kIidUnknown || iid == kIidClassFactory) {
            *object = static_cast<IClassFactory*>(this);
            return kOk;
        }
        *object = nullptr;
        return kNoInterface;
    }
    // The factory is a static object: counting its references is not needed.
    uint32_t AddRef() override { return 2; }
    uint32_t Release() override { return 1; }

    HResult CreateInstance(IUnknown* outer, const Guid& iid, void** object) override {
        if (!object) return kPointer;
        *object = nullptr;
        if (outer) return kNoAggregation;
        IClsParse* created = new_parse_object();
        if (!created) return kOutOfMemory;
#ifdef _WIN32
        // A COM client asks for _ClsParse, IDispatch or IUnknown: the Automation object.
        if (automation::for_com_client(iid)) return automation::wrap(created, iid, object);
#endif
        HResult result = created->QueryInterface(iid, object);
        created->Release();
        return result;
    }
    HResult LockServer(bool lock) override {
        lock ? ++g_locks : --g_locks;
        return kOk;
    }
};

}  // namespace
}  // namespace tlv::component

using namespace tlv::component;

TLV_EXPORT HResult DllGetClassObject(const Guid* clsid, const Guid* iid, void** object) {
    if (!clsid || !iid || !object) return kPointer;
    *object = nullptr;
    if (!(*clsid == kClsidClsParse)) return kClassNotAvailable;
    install_library_application();
    static ParseFactory factory;
    return factory.QueryInterface(*iid, object);
}

TLV_EXPORT HResult DllCanUnloadNow() {
    return live_parse_objects() == 0 && g_locks.load() == 0 ? kOk : kFalse;
}

#ifdef _WIN32
TLV_EXPORT HResult DllRegisterServer() { return tlv::automation::register_server(true); }
TLV_EXPORT HResult DllUnregisterServer() { return tlv::automation::register_server(false); }
#else
// There is no system-wide class registry here: a client finds the library in
// its own folder and asks it for the class by identity or ProgID.  Register
// and unregister therefore have nothing to record and succeed.
TLV_EXPORT HResult DllRegisterServer() { return kOk; }
TLV_EXPORT HResult DllUnregisterServer() { return kOk; }
#endif

TLV_EXPORT HResult ConverttlvClsidFromProgId(const char* prog_id, Guid* clsid) {
    if (!prog_id || !clsid) return kPointer;
    if (kProgId != prog_id) return kClassNotAvailable;
    *clsid = kClsidClsParse;
    return kOk;
}

TLV_EXPORT const char* ConverttlvFileVersion() { return tlv::version::kFileVersion; }
TLV_EXPORT const char* ConverttlvProductVersion() { return tlv::version::kProductVersion; }
TLV_EXPORT const char* ConverttlvFileDescription() { return kFileDescription; }
