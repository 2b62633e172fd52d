// The component shell of Converttlv: class factory, reference-counted
// ClsParse objects, the Progressie connection and the library entry points.
// The conversion itself lives in ClsParse; nothing here knows about files.

#include <atomic>
#include <cstring>
#include <new>

#include "conversion/ClsParse.h"
#include "shared/component.h"
#include "shared/failure.h"
#include "shared/platform/port.h"
#include "shared/platform/posix.h"

#define TLV_EXPORT extern "C" __attribute__((visibility("default")))

namespace tlv::component {
namespace {

constexpr const char* kFileVersion = "2.01";
constexpr const char* kProductVersion = "2.1.0.0";
constexpr const char* kFileDescription =
    "Converteert een strepla exchange bestand naar een gartrip text bestand  Gebruik hiervoor de "
    "functie parsen(pad naar exchange,pad naar text). Parsen retourneerd een boolean.";

std::atomic<int32_t> g_objects{0};
std::atomic<int32_t> g_locks{0};

// The library reports into error.log in its own folder, under its own title.
void install_library_application() {
    static port::Application application{
        port::posix::folder_of_address(reinterpret_cast<const void*>(&install_library_application)),
        "Converttlv"};
    static bool installed = (port::install({.application = &application}), true);
    (void)installed;
}

HResult result_of_current_failure() {
    try {
        throw;
    } catch (const Failure& failure) {
        return failure_result(failure.number());
    } catch (const std::bad_alloc&) {
        return kOutOfMemory;
    } catch (...) {
        return kFail;
    }
}

class ParseObject final : public IClsParse {
public:
    ParseObject() { ++g_objects; }
    ParseObject(const ParseObject&) = delete;
    ParseObject& operator=(const ParseObject&) = delete;
    ~ParseObject() { --g_objects; }

    HResult QueryInterface(const Guid& iid, void** object) override {
        if (!object) return kPointer;
        if (iid == kIidUnknown || iid == kIidClsParse) {
            *object = static_cast<IClsParse*>(this);
            AddRef();
            return kOk;
        }
        *object = nullptr;
        return kNoInterface;
    }
    uint32_t AddRef() override { return ++references_; }
    uint32_t Release() override {
        uint32_t left = --references_;
        if (left == 0) delete this;
        return left;
    }

    HResult Parsen(const std::string& strPad, const std::string& strGARtrip,
                   bool* result) override {
        if (!result) return kPointer;
        try {
            *result = parse_.Parsen(strPad, strGARtrip);
            return kOk;
        } catch (...) {
            return result_of_current_failure();
        }
    }
    HResult put_strFout(const std::string& val) override {
        try {
            parse_.strFout(val);
            return kOk;
        } catch (...) {
            return result_of_current_failure();
        }
    }
    HResult get_strFout(std::string* val) override {
        if (!val) return kPointer;
        *val = parse_.strFout();
        return kOk;
    }
    HResult get_intAantWaypoints(int16_t* count) override {
        if (!count) return kPointer;
        *count = parse_.intAantWaypoints();
        return kOk;
    }
    HResult get_intAantRoutes(int16_t* count) override {
        if (!count) return kPointer;
        *count = parse_.intAantRoutes();
        return kOk;
    }
    // The sink gets a copy of the block count: a change it makes has no effect.
    HResult Advise(IClsParseEvents* sink) override {
        if (!sink) {
            parse_.set_progress_handler(nullptr);
            return kOk;
        }
        parse_.set_progress_handler([sink](std::string& aantRegels) {
            std::string copy = aantRegels;
            sink->Progressie(copy);
        });
        return kOk;
    }

private:
    std::atomic<uint32_t> references_{1};
    ClsParse parse_;
};

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
        ParseObject* created = new (std::nothrow) ParseObject();
        if (!created) return kOutOfMemory;
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
    return g_objects.load() == 0 && g_locks.load() == 0 ? kOk : kFalse;
}

// There is no system-wide class registry here: a client finds the library in
// its own folder and asks it for the class by identity or ProgID.  Register
// and unregister therefore have nothing to record and succeed.
TLV_EXPORT HResult DllRegisterServer() { return kOk; }
TLV_EXPORT HResult DllUnregisterServer() { return kOk; }

TLV_EXPORT HResult ConverttlvClsidFromProgId(const char* prog_id, Guid* clsid) {
    if (!prog_id || !clsid) return kPointer;
    if (kProgId != prog_id) return kClassNotAvailable;
    *clsid = kClsidClsParse;
    return kOk;
}

TLV_EXPORT const char* ConverttlvFileVersion() { return kFileVersion; }
TLV_EXPORT const char* ConverttlvProductVersion() { return kProductVersion; }
TLV_EXPORT const char* ConverttlvFileDescription() { return kFileDescription; }
